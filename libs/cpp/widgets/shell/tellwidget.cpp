#include "tellwidget.h"

#include "app.h"
#include "siteconfig.h"
#include "stylehelpers.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

namespace {

// The maker's share redirect in front of a share link when the program is
// distributed from the maker's site. The redirect page expects the link
// appended as it is, without percent-encoding.
QString shareLink(const QString &redirectBase, const QString &link)
{
    if (link.isEmpty())
        return QString();
    App *app = App::instance();
    if (app && app->isWebDistribution())
        return redirectBase + QStringLiteral("/social/share.php?link=") + link;
    return link;
}

// What the Facebook and Twitter buttons open; "" without a share link.
QString faceBookLink()
{
    App *app = App::instance();
    return app ? shareLink(SiteConfig::facebookShareRedirect(), app->facebookShareUrl()) : QString();
}

QString twitterLink()
{
    App *app = App::instance();
    return app ? shareLink(SiteConfig::twitterShareRedirect(), app->twitterShareUrl()) : QString();
}

} // namespace

TellWidget::TellWidget(QWidget *parent)
    : QFrame(parent)
{
    QPushButton *faceBook = new QPushButton;
    QPushButton *twitter = new QPushButton;
    QPushButton *vkontakte = new QPushButton;
    QPushButton *linkedin = new QPushButton;
    QPushButton *email = new QPushButton;
    setupButton(faceBook, QStringLiteral("FaceBookShareButton"), tr("Share on Facebook"));
    setupButton(twitter, QStringLiteral("TwitterShareButton"), tr("Share on Twitter"));
    setupButton(vkontakte, QStringLiteral("VKontakteShareButton"), tr("Share on VKontakte"));
    setupButton(linkedin, QStringLiteral("LinkedinShareButton"), tr("Share on LinkedIn"));
    setupButton(email, QStringLiteral("EmailShareButton"), tr("Share by E-mail"));

    // No button may open an empty link or hand a placeholder address on.
    App *app = App::instance();
    // Without web links only the e-mail stays.
    const bool linksOff = !app || app->areWebLinksDisabled();
    if (linksOff || !SiteConfig::isRealLink(faceBookLink()))
        faceBook->hide();
    if (linksOff || !SiteConfig::isRealLink(twitterLink()))
        twitter->hide();
    vkontakte->hide();

    connect(faceBook, SIGNAL(clicked()), this, SLOT(slotFaceBookClicked()));
    connect(twitter, SIGNAL(clicked()), this, SLOT(slotTwitterClicked()));
    connect(vkontakte, SIGNAL(clicked()), this, SLOT(slotVKontakteClicked()));
    connect(email, SIGNAL(clicked()), this, SLOT(slotEmailClicked()));
    connect(linkedin, SIGNAL(clicked()), this, SLOT(slotLinkedinClicked()));
    linkedin->hide();

    QVBoxLayout *layout = new QVBoxLayout;
    layout->setSpacing(6);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(faceBook);
    layout->addWidget(twitter);
    layout->addWidget(linkedin);
    layout->addWidget(vkontakte);
    layout->addWidget(email);
    setLayout(layout);
}

void TellWidget::slotLinkedinClicked()
{
}

void TellWidget::slotFaceBookClicked()
{
    App::openLink(faceBookLink());
}

void TellWidget::slotTwitterClicked()
{
    App::openLink(twitterLink());
}

void TellWidget::slotVKontakteClicked()
{
    if (App *app = App::instance())
        App::openLink(app->vkontakteShareUrl());
}

void TellWidget::slotEmailClicked()
{
    if (App *app = App::instance())
        app->slotTellFriend();
}

void TellWidget::setupButton(QPushButton *button, const QString &name, const QString &text)
{
    setLabelledPictureButton(button, text);
    button->setFlat(true);
    button->setFixedSize(190, 35);
    button->setObjectName(name);
    button->setCheckable(true);
}

} // namespace QMWidgets
