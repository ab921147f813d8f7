#include "testmain.h"
#include "windowtitle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

using QMWidgets::WindowTitle;

class TestTitleBar : public QObject
{
    Q_OBJECT

private slots:
    void dragEmitsGlobalPositionMinusPressPosition_data()
    {
        QTest::addColumn<bool>("pressFirst");
        QTest::addColumn<QPointF>("pressLocal");
        QTest::addColumn<QPointF>("moveGlobal");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("no press: global position itself")
            << false << QPointF() << QPointF(300, 200) << QPoint(300, 200);
        QTest::newRow("press then move") << true << QPointF(10, 4) << QPointF(300, 200) << QPoint(290, 196);
        QTest::newRow("fractions rounded to nearest")
            << true << QPointF(10.6, 4.4) << QPointF(300.5, 199.4) << QPoint(290, 195);
    }

    void dragEmitsGlobalPositionMinusPressPosition()
    {
        QFETCH(bool, pressFirst);
        QFETCH(QPointF, pressLocal);
        QFETCH(QPointF, moveGlobal);
        QFETCH(QPoint, expected);
        // arrange
        WindowTitle title;
        QSignalSpy moved(&title, SIGNAL(changePosition(QPoint)));
        // act
        if (pressFirst) {
            QMouseEvent press(QEvent::MouseButtonPress, pressLocal, pressLocal + QPointF(1000, 1000),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&title, &press);
        }
        QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), moveGlobal, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&title, &move);
        // assert
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toPoint(), expected);
        QVERIFY(move.isAccepted());
    }

    void closeButtonEmitsCloseWindowOnce()
    {
        WindowTitle title;
        QSignalSpy closed(&title, SIGNAL(closeWindow()));
        QSignalSpy moved(&title, SIGNAL(changePosition(QPoint)));
        auto *close = title.findChild<QPushButton *>(QStringLiteral("CloseButton"));
        QVERIFY(close);
        close->click();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(moved.count(), 0);
    }

    void viewButtonsArePassedOn_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("signal");
        QTest::newRow("zoom in") << "ZoomInButton" << SIGNAL(zoomOutClicked());
        QTest::newRow("zoom out") << "ZoomOutButton" << SIGNAL(zoomInClicked());
        QTest::newRow("100 %") << "100PercentButton" << SIGNAL(hundertPercentClicked());
        QTest::newRow("optimise") << "AlwaysOptimizeButton" << SIGNAL(doOptimize());
    }

    void viewButtonsArePassedOn()
    {
        QFETCH(QString, button);
        QFETCH(QString, signal);
        WindowTitle title;
        QSignalSpy spy(&title, signal.toLatin1().constData());
        auto *pushButton = title.findChild<QPushButton *>(button);
        QVERIFY(pushButton);
        QVERIFY(pushButton->isFlat());
        pushButton->click();
        QCOMPARE(spy.count(), 1);
    }

    void optimiseButtonStartsChecked()
    {
        WindowTitle title;
        auto *optimise = title.findChild<QPushButton *>(QStringLiteral("AlwaysOptimizeButton"));
        QVERIFY(optimise);
        QVERIFY(optimise->isCheckable());
        QVERIFY(optimise->isChecked());
        QCOMPARE(optimise->size(), QSize(32, 32));
    }

    void menuFlagFollowsActionsMenu()
    {
        WindowTitle title;
        title.show();
        QVERIFY(!title.isMenuOpen());
        auto *actions = title.findChild<QPushButton *>(QStringLiteral("Actions"));
        QVERIFY(actions);
        QVERIFY(actions->isHidden());
        QMenu *menu = actions->menu();
        QVERIFY(menu);
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(texts, QStringList({"Save as...", "Open with default program", "-", "Forward via e-mail"}));

        menu->popup(QPoint(10, 10));
        QVERIFY(title.isMenuOpen());
        menu->hide();
        QVERIFY(!title.isMenuOpen());
    }

    void toolLayoutsLandInToolsWidget()
    {
        WindowTitle title;
        auto *first = new QHBoxLayout;
        auto *a = new QLabel(QStringLiteral("a"));
        first->addWidget(a);
        title.addToolLayout(first);
        auto *second = new QHBoxLayout;
        auto *b = new QLabel(QStringLiteral("b"));
        second->addWidget(b);
        title.addToolLayout(second);

        auto *tools = title.findChild<QWidget *>(QStringLiteral("WindowTitleTools"));
        QVERIFY(tools);
        QVERIFY(tools->layout());
        QCOMPARE(a->parentWidget(), tools);
        QCOMPARE(b->parentWidget(), tools);
    }
};

GLYPH_TEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
