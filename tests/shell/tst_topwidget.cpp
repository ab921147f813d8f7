#include "app.h"
#include "centerfilter.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "topwidget.h"

#include <QAction>
#include <QApplication>
#include <QDesktopWidget>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

using QMWidgets::CenterFilter;
using QMWidgets::TopWidget;

namespace {

// Runs the window's loop and answers it with the given action once it shows.
int runAnswered(TopWidget *window, const std::function<void(TopWidget *)> &action, bool *answered)
{
    ModalAnswerer answerer([action](QWidget *w) { action(qobject_cast<TopWidget *>(w)); }, 3000);
    answerer.setClassName("QMWidgets::TopWidget");
    const int result = window->exec();
    *answered = answerer.answered();
    return result;
}

void pressEscape(TopWidget *w)
{
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_Escape);
}

} // namespace

class TestTopWidget : public QObject
{
    Q_OBJECT

private slots:
    // Without a style sheet the title-bar buttons must not be blank areas.
    void titleButtonsHaveIconToolTipAndName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("close") << "TopWidgetClose" << "Close";
        QTest::newRow("maximize") << "TopWidgetMaximize" << "Maximize";
        QTest::newRow("minimize") << "TopWidgetMinimize" << "Minimize";
    }
    void titleButtonsHaveIconToolTipAndName()
    {
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
        TopWidget window(false);
        auto *button = window.findChild<QPushButton *>(name);
        QVERIFY(button);
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->toolTip(), toolTip);
        QCOMPARE(button->accessibleName(), toolTip);
    }

    void execReturnsHowTheWindowEnded_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("accept") << "accept" << 1;
        QTest::newRow("reject") << "reject" << 0;
        QTest::newRow("escape") << "escape" << 0;
        QTest::newRow("close button") << "closeButton" << 0;
        QTest::newRow("close()") << "close" << 0;
        QTest::newRow("hide()") << "hide" << 0;
        QTest::newRow("accept then reject") << "acceptReject" << 1;
    }
    void execReturnsHowTheWindowEnded()
    {
        QFETCH(QString, how);
        QFETCH(int, expected);
        // arrange
        TopWidget window(true);
        const std::function<void(TopWidget *)> action = [how](TopWidget *w) {
            if (how == "accept")
                w->accept();
            else if (how == "reject")
                w->reject();
            else if (how == "escape")
                pressEscape(w);
            else if (how == "closeButton")
                w->findChild<QPushButton *>("TopWidgetClose")->click();
            else if (how == "close")
                w->close();
            else if (how == "hide")
                w->hide();
            else if (how == "acceptReject") {
                w->accept();
                w->reject();
            }
        };
        // act
        bool answered = false;
        const int result = runAnswered(&window, action, &answered);
        // assert
        QVERIFY(answered);
        QCOMPARE(result, expected);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.isRunning());
    }

    void secondExecReusesTheEscapeAction()
    {
        TopWidget window(false);
        bool answered = false;
        QCOMPARE(runAnswered(&window, pressEscape, &answered), 0);
        QVERIFY(answered);
        QCOMPARE(runAnswered(&window, pressEscape, &answered), 0);
        QVERIFY(answered);

        int escapeActions = 0;
        for (QAction *action : window.actions())
            escapeActions += action->shortcut() == QKeySequence(Qt::Key_Escape) ? 1 : 0;
        QCOMPARE(escapeActions, 1);
        // The loop leaves the window as modal as it found it.
        QVERIFY(!window.testAttribute(Qt::WA_ShowModal));
    }

    void windowDeletedInItsOwnLoopEndsTheLoop_data()
    {
        QTest::addColumn<bool>("deferred");
        QTest::newRow("delete") << false;
        QTest::newRow("deleteLater") << true;
    }
    void windowDeletedInItsOwnLoopEndsTheLoop()
    {
        QFETCH(bool, deferred);
        // arrange
        QPointer<TopWidget> window = new TopWidget(true);
        // act
        bool answered = false;
        const int result = runAnswered(window, [deferred](TopWidget *w) {
            if (deferred)
                w->deleteLater();
            else
                delete w;
        }, &answered);
        // assert
        QVERIFY(answered);
        QCOMPARE(result, 0);
        QVERIFY(window.isNull());
    }

    void execInsideTheRunningLoopIsRefused()
    {
        TopWidget window(true);
        int inner = 0;
        bool answered = false;
        const int outer = runAnswered(&window, [&inner](TopWidget *w) {
            inner = w->exec();
            w->accept();
        }, &answered);
        QVERIFY(answered);
        QCOMPARE(inner, -1);
        QCOMPARE(outer, 1);
    }

    void withoutLoopRejectHidesAndAcceptDoesNothing()
    {
        TopWidget window(true);
        window.show();
        window.accept();
        QVERIFY(window.isVisible());
        window.findChild<QPushButton *>("TopWidgetClose")->click();
        QVERIFY(!window.isVisible());
    }

    void contentSitsInOverWidgetOrBelowTitle_data()
    {
        QTest::addColumn<bool>("withOverWidget");
        QTest::newRow("over widget") << true;
        QTest::newRow("plain") << false;
    }
    void contentSitsInOverWidgetOrBelowTitle()
    {
        QFETCH(bool, withOverWidget);
        TopWidget window(withOverWidget);
        auto *content = new QLabel("content");
        window.contentLayout()->addWidget(content);
        window.resize(200, 150);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QWidget *over = window.findChild<QWidget *>("TopOverWidget");
        QWidget *title = window.findChild<QWidget *>("TopWidgetTitle");
        QVERIFY(title);
        QCOMPARE(title->parentWidget(), &window);
        QCOMPARE(over != nullptr, withOverWidget);
        if (withOverWidget) {
            QCOMPARE(content->parentWidget(), over);
            QCOMPARE(over->geometry().left(), 0);
            QCOMPARE(title->geometry().top(), 0);
        } else {
            QCOMPARE(content->parentWidget(), &window);
            QCOMPARE(title->geometry().topLeft(), QPoint(1, 1));
            QCOMPARE(content->geometry().left(), 1);
        }
        QVERIFY(content->mapTo(&window, QPoint()).y() > title->geometry().bottom());
    }

    void centerFilterCentresParentlessWidgetOnEveryShow()
    {
        // arrange
        QWidget widget;
        widget.resize(101, 51);
        CenterFilter filter;
        widget.installEventFilter(&filter);
        const QSize desktop = QApplication::desktop()->size();
        const QPoint expected(desktop.width() / 2 - 101 / 2, desktop.height() / 2 - 51 / 2);
        // act / assert
        widget.show();
        QCOMPARE(widget.pos(), expected);
        widget.hide();
        widget.move(3, 4);
        widget.show();
        QCOMPARE(widget.pos(), expected);
    }

    void centerFilterCentresChildOnItsParent()
    {
        QWidget parent;
        parent.resize(300, 200);
        QWidget child(&parent);
        child.resize(100, 50);
        CenterFilter filter;
        child.installEventFilter(&filter);
        parent.show();
        QCOMPARE(child.pos(), QPoint(100, 75));
    }
};

GLYPH_APP_TEST_MAIN(TestTopWidget, QMWidgets::App)
#include "tst_topwidget.moc"
