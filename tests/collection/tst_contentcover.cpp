#include "noscreenshotwidget.h"
#include "testmain.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using QMWidgets::NoScreenShotWidget;

namespace {

// A guarded label with a line edit, and a deeper line edit inside a frame.
struct Guarded
{
    QWidget window;
    NoScreenShotWidget *cover = nullptr;
    QLineEdit *edit = nullptr;
    QWidget *frame = nullptr;
    QLineEdit *deep = nullptr;

    explicit Guarded(const QString &text = QString())
    {
        cover = text.isEmpty() ? new NoScreenShotWidget : new NoScreenShotWidget(text);
        edit = new QLineEdit;
        frame = new QWidget;
        deep = new QLineEdit;
        auto *inner = new QVBoxLayout(frame);
        inner->addWidget(deep);
        auto *layout = new QVBoxLayout(cover);
        layout->addWidget(edit);
        layout->addWidget(frame);
        auto *outer = new QVBoxLayout(&window);
        outer->addWidget(cover);
        window.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
    }

    bool allHidden() const { return edit->isHidden() && frame->isHidden() && deep->isHidden(); }
    bool allShown() const { return edit->isVisible() && frame->isVisible() && deep->isVisible(); }
};

} // namespace

class TestContentCover : public QObject
{
    Q_OBJECT

private slots:
    void coverText_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default heading") << QString() << "<H1><CENTER>No!</CENTER></H1>";
        QTest::newRow("own text unchanged") << "Hidden while away" << "Hidden while away";
    }

    void coverText()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        NoScreenShotWidget cover = given.isEmpty() ? NoScreenShotWidget() : NoScreenShotWidget(given);
        QCOMPARE(cover.text(), expected);
    }

    void deactivationCoversAndActivationUncoversAtEveryDepth()
    {
        // arrange
        Guarded g;
        QVERIFY(g.allShown());
        g.deep->hide(); // hidden by the user: it stays hidden
        // act: the application loses its active window
        QApplication::setActiveWindow(nullptr);
        // assert
        QVERIFY(g.allHidden());
        QVERIFY(g.cover->isVisible());
        // act: it comes back, although no guarded widget can take the focus now
        QApplication::setActiveWindow(&g.window);
        // assert: what the cover hid is back, what the user hid is not
        QVERIFY(g.edit->isVisible());
        QVERIFY(g.frame->isVisible());
        QVERIFY(g.deep->isHidden());
    }

    void restoreLeavesWindowsAlone_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::newRow("menu of a button") << true;
        QTest::newRow("tool tip window") << false;
    }

    void restoreLeavesWindowsAlone()
    {
        QFETCH(bool, menu);

        // arrange: a window-type descendant that is closed, as such windows are
        Guarded g;
        auto *button = new QPushButton(QStringLiteral("More"));
        g.cover->layout()->addWidget(button);
        button->show();
        QWidget *window = nullptr;
        if (menu) {
            auto *popup = new QMenu(button);
            popup->addAction(QStringLiteral("Item"));
            button->setMenu(popup);
            window = popup;
        } else {
            window = new QLabel(QStringLiteral("tip"), button, Qt::ToolTip);
        }
        QVERIFY(window->isWindow());
        QVERIFY(window->isHidden());

        // act: cover and uncover
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&g.window);

        // assert: the content is back, the window was not opened
        QVERIFY(g.allShown());
        QVERIFY(button->isVisible());
        QVERIFY(window->isHidden());
        QVERIFY(!QApplication::activePopupWidget());
    }

    void shownWhileCoveredStaysOutOfSightUntilUncovered_data()
    {
        QTest::addColumn<bool>("addedWhileCovered");
        QTest::newRow("hidden by its owner before") << false;
        QTest::newRow("added while covered") << true;
    }

    void shownWhileCoveredStaysOutOfSightUntilUncovered()
    {
        QFETCH(bool, addedWhileCovered);

        // arrange: covered, with a label its owner will show meanwhile
        Guarded g;
        QLabel *late = nullptr;
        if (!addedWhileCovered) {
            late = new QLabel(QStringLiteral("late"));
            g.cover->layout()->addWidget(late);
            late->hide();
        }
        QApplication::setActiveWindow(nullptr);
        QVERIFY(g.allHidden());
        if (addedWhileCovered) {
            late = new QLabel(QStringLiteral("late"));
            g.cover->layout()->addWidget(late);
        }

        // act: the owner shows it while the application is inactive
        late->show();

        // assert: out of sight while covered, back with the rest
        QVERIFY(!late->isVisible());
        QVERIFY(g.allHidden());
        QApplication::setActiveWindow(&g.window);
        QVERIFY(late->isVisible());
        QVERIFY(g.allShown());
    }

    void keyFilterLeavesWindowsAlone_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<int>("key");
        QTest::newRow("Escape closes a button's menu") << false << int(Qt::Key_Escape);
        QTest::newRow("Down moves in a button's menu") << false << int(Qt::Key_Down);
        QTest::newRow("a dialog's field takes a letter") << true << int(Qt::Key_A);
    }

    void keyFilterLeavesWindowsAlone()
    {
        QFETCH(bool, dialog);
        QFETCH(int, key);

        // arrange: a guarded button with a menu and a dialog, filtered by install()
        Guarded g;
        auto *button = new QPushButton(QStringLiteral("More"));
        g.cover->layout()->addWidget(button);
        button->show();
        auto *menu = new QMenu(button);
        QAction *first = menu->addAction(QStringLiteral("One"));
        menu->addAction(QStringLiteral("Two"));
        button->setMenu(menu);
        auto *box = new QDialog(button);
        auto *field = new QLineEdit(box);
        g.cover->install();
        QWidget *target = field;
        if (dialog) {
            box->show();
        } else {
            menu->popup(button->mapToGlobal(QPoint(0, button->height())));
            target = menu;
        }
        QVERIFY(target->isVisible());

        // act
        QTest::keyClick(target, Qt::Key(key));

        // assert: the key did its work and the content stays in sight
        if (dialog)
            QCOMPARE(field->text(), QStringLiteral("a"));
        else if (key == Qt::Key_Escape)
            QVERIFY(menu->isHidden());
        else
            QCOMPARE(menu->activeAction(), first);
        QVERIFY(g.allShown());
        menu->hide();
    }

    void keyPressAfterInstallIsSwallowedAndCovers()
    {
        // arrange
        Guarded g;
        g.cover->install();
        QCOMPARE(QApplication::focusWidget(), g.edit);
        // act
        QTest::keyClick(g.edit, Qt::Key_A);
        // assert: nothing typed, content covered and it stays so while the window is active
        QVERIFY(g.edit->text().isEmpty());
        QVERIFY(g.allHidden());
        // reactivation brings the content back
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&g.window);
        QVERIFY(g.allShown());
    }

    void keyPressWithoutInstallIsTyped()
    {
        Guarded g;
        QTest::keyClick(g.edit, Qt::Key_A);
        QCOMPARE(g.edit->text(), QStringLiteral("a"));
        QVERIFY(g.allShown());
    }

    void widgetAddedAfterInstallIsGuardedButUnfiltered()
    {
        // arrange
        Guarded g;
        g.cover->install();
        auto *late = new QLineEdit;
        g.cover->layout()->addWidget(late);
        late->show();
        // act, assert: covered and uncovered with the rest
        QApplication::setActiveWindow(nullptr);
        QVERIFY(late->isHidden());
        QApplication::setActiveWindow(&g.window);
        QVERIFY(late->isVisible());
        // but its keys are typed
        late->setFocus();
        QTest::keyClick(late, Qt::Key_B);
        QCOMPARE(late->text(), QStringLiteral("b"));
        QVERIFY(g.allShown());
    }

    void destroyedGuardedWidgetIsSkipped()
    {
        Guarded g;
        delete g.frame; // takes the deep edit with it
        g.frame = nullptr;
        QApplication::setActiveWindow(nullptr);
        QVERIFY(g.edit->isHidden());
        QApplication::setActiveWindow(&g.window);
        QVERIFY(g.edit->isVisible());
    }
};

GLYPH_TEST_MAIN(TestContentCover)
#include "tst_contentcover.moc"
