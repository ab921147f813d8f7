#include "communitybutton.h"

#include "app.h"
#include "defaultlook.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>

namespace QMWidgets {

CommunityButton::CommunityButton(QWidget *parent)
    : QPushButton(parent)
{
    QMenu *menu = new QMenu(this);

    QAction *share = menu->addAction(QIcon(QPixmap(QStringLiteral(":/share_hover.png"))), tr("Share"));
    // Sharing lives in the application object; without one the entry does nothing.
    if (App *app = App::instance())
        connect(share, SIGNAL(triggered()), app, SLOT(slotShareApp()));
    menu->addSeparator();
    menu->addAction(QIcon(QPixmap(QStringLiteral(":/pix/facebook.png"))), QStringLiteral("FaceBook"),
                    this, SLOT(slotFaceBook()));
    menu->addAction(QIcon(QPixmap(QStringLiteral(":/pix/youtube.png"))), QStringLiteral("YouTube"),
                    this, SLOT(slotYouTube()));
    menu->addAction(QIcon(QPixmap(QStringLiteral(":/pix/xing.png"))), QStringLiteral("Xing"),
                    this, SLOT(slotXing()));
    menu->addAction(QIcon(QPixmap(QStringLiteral(":/pix/mailru.png"))), QStringLiteral("MoiMir"),
                    this, SLOT(slotMoiMir()));
    setMenu(menu);
    giveDefaultLook(this, collectionIcon(QStringLiteral("community")), tr("Community"));
}

void CommunityButton::slotFaceBook()
{
    App::openLink(faceBookUrl);
}

void CommunityButton::slotYouTube()
{
    App::openLink(youTubeUrl);
}

void CommunityButton::slotTwitter()
{
    App::openLink(twitterUrl);
}

void CommunityButton::slotMoiMir()
{
    App::openLink(moiMirUrl);
}

void CommunityButton::slotXing()
{
    App::openLink(xingUrl);
}

} // namespace QMWidgets
