// Starts the real program's main() under the offscreen platform and lets it
// quit by itself: the start-up sequence builds, shows and titles the window.
#include "testenvironment.h"

#include <QApplication>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <cstdio>

#define main glyphcraftMain
#include "../../app/main.cpp"
#undef main

namespace {
struct Observed {
    bool sawPage = false;
    bool visible = false;
    QString title;
    QString version;
    QString styleSheetHead;
    bool settingsButtonHidden = false;
    bool moreAppsHidden = false;
    QStringList slides;
    bool webLinksDisabled = false;
} observed;

void inspectAndQuit()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *page = qobject_cast<MainPage *>(w);
        if (!page)
            continue;
        observed.sawPage = true;
        observed.visible = page->isVisible();
        observed.title = page->windowTitle();
        observed.settingsButtonHidden = page->settingsButton()->isHidden();
        if (QWidget *more = page->findChild<QWidget *>(QStringLiteral("MoreAppsButton")))
            observed.moreAppsHidden = more->isHidden();
    }
    observed.version = QCoreApplication::applicationVersion();
    observed.styleSheetHead = qApp->styleSheet().left(20);
    if (auto *app = QMWidgets::App::instance()) {
        observed.slides = app->helpSlides();
        observed.webLinksDisabled = app->areWebLinksDisabled();
    }
    QCoreApplication::exit(0);
}

void armQuit(int)
{
    QTimer::singleShot(500, inspectAndQuit);
}
}

int main(int argc, char *argv[])
{
    TestEnvironment::prepare();
    // The site addresses keep their placeholder defaults.
    for (const QString &variable : QProcessEnvironment::systemEnvironment().keys()) {
        if (variable.startsWith(QLatin1String("GLYPH_SITE_")))
            qunsetenv(variable.toLatin1().constData());
    }
    {
        // No rating reminder at quit and no update check at start.
        QSettings settings(QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
        settings.setValue(QStringLiteral("Glyphcraft/AutoReminder"), false);
        settings.setValue(QStringLiteral("Glyphcraft/checkupdates"), false);
    }
    QMWidgets::App::addInitHook(armQuit);
    const int result = glyphcraftMain(argc, argv);

    int failed = 0;
    auto check = [&failed](bool ok, const char *what) {
        std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
        if (!ok)
            ++failed;
    };
    check(result == 0, "event loop returned 0");
    check(observed.sawPage, "main page built");
    check(observed.visible, "main page shown");
    check(observed.title == QLatin1String("Glyphcraft"), "window title is the application name");
    check(observed.version == QLatin1String("1.8"), "version 1.8");
    check(!observed.styleSheetHead.isEmpty(), "style sheet applied");
    check(observed.settingsButtonHidden, "settings button hidden");
    check(observed.moreAppsHidden, "more-apps button hidden");
    check(observed.slides.size() == 3 && observed.slides.value(0).endsWith(QLatin1String("/Resources/LumSlide1.jpg"))
              && observed.slides.value(2).endsWith(QLatin1String("LumSlide3.jpg")),
          "three introduction slides in order");
    check(observed.webLinksDisabled, "web links off while the site addresses are placeholders");
    std::printf("%d passed, %d failed\n", 10 - failed, failed);
    return failed == 0 ? 0 : 1;
}
