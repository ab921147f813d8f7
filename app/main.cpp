#include "app.h"
#include "appstylesheet.h"
#include "mainapp.h"
#include "mainpage.h"
#include "promomenubar.h"
#include "siteconfig.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    MainApp app(argc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.8"));
    QCoreApplication::setOrganizationDomain(QMWidgets::SiteConfig::organizationDomain());
    app.setStyleSheet(appStyleSheet);
    // Placeholder site addresses (a default build): hide what would open them.
    app.setWebLinksDisabled(QMWidgets::SiteConfig::hasPlaceholderAddresses());
    app.setPrivacyPolicyUrl(QMWidgets::SiteConfig::privacyPolicyPage());
    app.setSharePage(QString());

    MainPage page;
    page.menuBar()->fillPromoMenu(QStringLiteral("photo"));
    QObject::connect(&app, SIGNAL(dockClicked()), &page, SLOT(showNormal()));

    const QString resources = app.resourcesDirectory();
    app.setHelpSlides(QStringList{resources + QStringLiteral("LumSlide1.jpg"),
                                  resources + QStringLiteral("LumSlide2.jpg"),
                                  resources + QStringLiteral("LumSlide3.jpg")});
    page.setWindowTitle(QCoreApplication::applicationName());
    page.show();
    app.setMainWidget(&page);
    app.setVideoTutorialUrl(QMWidgets::SiteConfig::tutorialVideo());
    app.startReminder(2, 1);
    // A logout, Ctrl+C or a closed terminal ends the program as Quit does.
    app.quitOnTerminationSignals();

    return app.exec();
}
