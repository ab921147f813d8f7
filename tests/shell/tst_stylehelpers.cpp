#include "app.h"
#include "stylehelpers.h"
#include "testmain.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

using QMWidgets::App;

namespace {

const QString DialogsKey = QStringLiteral("TransparencyParameters/ChartDialogs");
const QString MenusKey = QStringLiteral("TransparencyParameters/ContextMenus");

void forget(const QString &key)
{
    App::instance()->settings()->remove(QCoreApplication::applicationName() + QLatin1Char('/') + key);
}

// Window opacity is kept in steps of 1/255.
bool opacityNear(double actual, double expected)
{
    return qAbs(actual - expected) <= 1.0 / 255 + 1e-9;
}

} // namespace

class TestStyleHelpers : public QObject
{
    Q_OBJECT

private slots:
    void pushButtonGetsSharedLook()
    {
        QPushButton button(QStringLiteral("Ok"));
        QMWidgets::stylePushButton(&button);
        QCOMPARE(button.objectName(), QStringLiteral("PushButton"));
        QVERIFY(button.isFlat());
        QCOMPARE(button.minimumHeight(), 32);
        QMWidgets::stylePushButton(nullptr); // ignored
    }

    void nameAndToolTip_data()
    {
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("expected");
        QTest::newRow("new tip") << "Open a picture" << "Open a picture";
        QTest::newRow("empty keeps old") << "" << "old tip";
    }
    void nameAndToolTip()
    {
        QFETCH(QString, toolTip);
        QFETCH(QString, expected);
        QWidget widget;
        widget.setToolTip(QStringLiteral("old tip"));
        QMWidgets::setNameAndToolTip(&widget, QStringLiteral("OpenButton"), toolTip);
        QCOMPARE(widget.objectName(), QStringLiteral("OpenButton"));
        QCOMPARE(widget.toolTip(), expected);
    }

    void translucencyFromSetting_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: not stored
        QTest::addColumn<double>("opacity");
        QTest::newRow("unset") << QVariant() << 0.95;
        QTest::newRow("default") << QVariant(35) << 0.95;
        QTest::newRow("none") << QVariant(0) << 1.0;
        QTest::newRow("30") << QVariant(30) << 1.0;
        QTest::newRow("65") << QVariant(65) << 0.65;
        QTest::newRow("100") << QVariant(100) << 0.3;
        // Past 100 the window would fade out of sight: it stays at the floor.
        QTest::newRow("130") << QVariant(130) << 0.3;
        QTest::newRow("500") << QVariant(500) << 0.3;
        QTest::newRow("negative") << QVariant(-40) << 1.0;
        QTest::newRow("not a number") << QVariant(QStringLiteral("lots")) << 0.95;
    }
    void translucencyFromSetting()
    {
        QFETCH(QVariant, stored);
        QFETCH(double, opacity);
        // arrange: one window with a menu directly inside and one deeper down
        for (const QString &key : {DialogsKey, MenusKey}) {
            forget(key);
            if (stored.isValid())
                App::instance()->setValue(key, stored);
        }
        QWidget dialog;
        QWidget window;
        auto *inner = new QWidget(&window);
        auto *menu = new QMenu(&window);
        auto *deepMenu = new QMenu(inner);
        // act
        QMWidgets::applyDialogTransparency(&dialog);
        QMWidgets::applyContextMenuTransparency(&window);
        // assert
        QVERIFY2(opacityNear(dialog.windowOpacity(), opacity), qPrintable(QString::number(dialog.windowOpacity())));
        QVERIFY(opacityNear(window.windowOpacity(), opacity));
        QVERIFY(opacityNear(menu->windowOpacity(), opacity));
        QVERIFY(opacityNear(deepMenu->windowOpacity(), opacity));
    }

    void dialogAndMenuSettingsAreSeparate()
    {
        forget(MenusKey);
        App::instance()->setValue(DialogsKey, 100);
        QWidget dialog;
        QWidget window;
        auto *menu = new QMenu(&window);
        QMWidgets::applyDialogTransparency(&dialog);
        QMWidgets::applyContextMenuTransparency(&window);
        QVERIFY(opacityNear(dialog.windowOpacity(), 0.3));
        QVERIFY(opacityNear(menu->windowOpacity(), 0.95));
        forget(DialogsKey);
    }

    void grabDesktopCoversPrimaryScreen()
    {
        // arrange: a red window over the whole screen
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QWidget cover(nullptr, Qt::FramelessWindowHint);
        cover.setAutoFillBackground(true);
        QPalette palette = cover.palette();
        palette.setColor(QPalette::Window, Qt::red);
        cover.setPalette(palette);
        cover.setGeometry(screen);
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        // act
        const QPixmap shot = QMWidgets::grabDesktop();
        // assert
        QVERIFY(!shot.isNull());
        QCOMPARE(shot.size(), screen.size());
        QCOMPARE(shot.toImage().pixelColor(screen.width() / 2, screen.height() / 2), QColor(Qt::red));
    }
};

GLYPH_APP_TEST_MAIN(TestStyleHelpers, QMWidgets::App)
#include "tst_stylehelpers.moc"
