#include "joinwidget.h"

#include "app.h"
#include "mmessagebox.h"
#include "siteconfig.h"
#include "stylehelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

namespace {

bool isWebDistribution()
{
    App *app = App::instance();
    return app && app->isWebDistribution();
}

// The maker's follow redirect in front of a page address when the program is
// distributed from the maker's site. The redirect page expects the address
// appended as it is, without percent-encoding.
QString followLink(const QString &page)
{
    if (isWebDistribution())
        return SiteConfig::followRedirect() + QStringLiteral("/social/join.php?link=") + page;
    return page;
}

// What the network buttons open.
QString youTubeLink()
{
    return followLink(SiteConfig::youtubeChannel() + QStringLiteral("?sub_confirmation=1"));
}

QString faceBookLink()
{
    return followLink(SiteConfig::facebookPage());
}

QString twitterLink()
{
    return followLink(SiteConfig::twitterPage());
}

QString vkontakteLink()
{
    return SiteConfig::vkontaktePage();
}

} // namespace

JoinWidget::JoinWidget(QWidget *parent)
    : QFrame(parent)
{
    QPushButton *youTube = new QPushButton;
    QPushButton *faceBook = new QPushButton;
    QPushButton *twitter = new QPushButton;
    QPushButton *vkontakte = new QPushButton;
    QPushButton *email = new QPushButton;

    App *app = App::instance();
    if (!app || app->language() != QLatin1String("ru"))
        vkontakte->hide();
    email->hide();
    // Every follow button opens a web page: it shows only while web links are
    // on and its own page is a real address.
    const bool linksOff = app && app->areWebLinksDisabled();
    const QList<QPair<QPushButton *, QString>> pages{
        {youTube, youTubeLink()}, {faceBook, faceBookLink()}, {twitter, twitterLink()},
        {vkontakte, vkontakteLink()}};
    for (const auto &page : pages) {
        if (linksOff || !SiteConfig::isRealLink(page.second))
            page.first->hide();
    }

    setupButton(youTube, QStringLiteral("YouTubeJoinButton"), tr("Follow on YouTube"));
    setupButton(faceBook, QStringLiteral("FaceBookJoinButton"), tr("Follow on Facebook"));
    setupButton(twitter, QStringLiteral("TwitterJoinButton"), tr("Follow on Twitter"));
    setupButton(vkontakte, QStringLiteral("VKontakteJoinButton"), tr("Follow on VKontakte"));
    setupButton(email, QStringLiteral("EmailJoinButton"), tr("Follow by E-mail"));
    connect(youTube, SIGNAL(clicked()), this, SLOT(slotYouTubeClicked()));
    connect(faceBook, SIGNAL(clicked()), this, SLOT(slotFaceBookClicked()));
    connect(twitter, SIGNAL(clicked()), this, SLOT(slotTwitterClicked()));
    connect(vkontakte, SIGNAL(clicked()), this, SLOT(slotVKontakteClicked()));
    connect(email, SIGNAL(clicked()), this, SLOT(slotEmailClicked()));

    const bool small = App::isSmallScreen();
    const QString openFirst = small ? QStringLiteral("<H5>") : QStringLiteral("<H3>");
    const QString closeFirst = small ? QStringLiteral("</H5>") : QStringLiteral("</H3>");
    const QString openSecond = small ? QStringLiteral("<H4>") : QStringLiteral("<H3>");
    const QString closeSecond = small ? QStringLiteral("</H4>") : QStringLiteral("</H3>");
    const QString text = openFirst + tr("Follow us and stay informed<br>about our") + closeFirst
        + openSecond + tr("   1. Important News<br>") + tr("   2. New APPs<br>")
        + tr("   3. APP Updates<br>") + tr("   and more...") + closeSecond;
    QLabel *label = new QLabel(text);

    QVBoxLayout *buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->setContentsMargins(10, 10, 10, 10);
    buttons->addWidget(youTube);
    buttons->addWidget(faceBook);
    buttons->addWidget(twitter);
    buttons->addWidget(vkontakte);
    buttons->addWidget(email);

    QHBoxLayout *row = new QHBoxLayout;
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(0);
    row->addLayout(buttons);
    row->addStretch(0);

    QVBoxLayout *layout = new QVBoxLayout;
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addLayout(row);
    setLayout(layout);
}

void JoinWidget::slotYouTubeClicked()
{
    App::openLink(youTubeLink());
}

void JoinWidget::slotFaceBookClicked()
{
    App *app = App::instance();
    MMessageBox::information(app ? app->mainWidget() : nullptr, tr("Information"),
                             tr("<H3>\"Like\" Quillar on Facebook to join us!<br>Thank you!</H3>"),
                             QMessageBox::Ok);
    App::openLink(faceBookLink());
}

void JoinWidget::slotTwitterClicked()
{
    App::openLink(twitterLink());
}

void JoinWidget::slotVKontakteClicked()
{
    App::openLink(vkontakteLink());
}

void JoinWidget::slotEmailClicked()
{
    if (emailJoinUrl.isEmpty())
        return;
    App::openLink(emailJoinUrl.arg(QCoreApplication::applicationName(), QStringLiteral("email")));
}

void JoinWidget::setupButton(QPushButton *button, const QString &name, const QString &text)
{
    setLabelledPictureButton(button, text);
    button->setFlat(true);
    button->setFixedSize(190, 35);
    button->setObjectName(name);
    button->setCheckable(true);
}

} // namespace QMWidgets
