#include "helpdialog.h"

#include "app.h"
#include "helpviewarea.h"
#include "siteconfig.h"
#include "stylehelpers.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QTimer>

namespace QMWidgets {

namespace {

const char kNeverShowItAgain[] = "NeverShowItAgain";

// The address with its leading prefix replaced; unchanged when it lacks the prefix.
QString replacePrefix(const QString &address, const QString &prefix, const QString &replacement)
{
    if (prefix.isEmpty() || !address.startsWith(prefix))
        return address;
    return replacement + address.mid(prefix.size());
}

} // namespace

HelpDialog::HelpDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QCoreApplication::applicationName() + tr(" Introduction"));
    setObjectName(QStringLiteral("Dialog"));

    auto *closeButton = new QPushButton(tr("&Close"));
    m_skipButton = new QPushButton(tr("&Always skip intro"));
    m_videoButton = new QPushButton(tr("&Watch videos"));
    stylePushButton(closeButton);
    stylePushButton(m_skipButton);
    m_videoButton->setFlat(true);
    m_videoButton->setObjectName(QStringLiteral("VideoButton"));

    connect(closeButton, SIGNAL(clicked()), this, SLOT(slotReject()));
    connect(m_skipButton, SIGNAL(clicked()), this, SLOT(slotNeverShowItAgain()));
    connect(m_videoButton, SIGNAL(clicked()), this, SLOT(slotWatchVideo()));
    m_videoButton->hide();

    m_viewArea = new HelpViewArea;

    QBoxLayout *buttons = newButtonRowLayout();
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(5);
    buttons->addWidget(m_videoButton);
    buttons->addStretch(1);
    buttons->addWidget(m_skipButton);
    buttons->addWidget(closeButton);

    auto *mainLayout = new QVBoxLayout;
    mainLayout->setContentsMargins(6, 6, 6, 6);
    mainLayout->setSpacing(6);
    mainLayout->addWidget(m_viewArea);
    mainLayout->addLayout(buttons);
    setLayout(mainLayout);

    closeButton->setFocus();
}

void HelpDialog::addSlide(const QString &path)
{
    m_viewArea->addSlide(path);
}

void HelpDialog::setVideoUrl(const QString &address)
{
    if (address.isEmpty())
        return;
    if (App::instance() && App::instance()->areWebLinksDisabled())
        return;
    m_videoUrl = address;
    m_videoButton->show();
}

void HelpDialog::hideSkipIntroButton()
{
    m_skipButtonOff = true;
}

bool HelpDialog::shouldShow()
{
    App *app = App::instance();
    return !(app && app->value(QLatin1String(kNeverShowItAgain), false).toBool());
}

HelpViewArea *HelpDialog::viewArea() const
{
    return m_viewArea;
}

void HelpDialog::slotReject()
{
    reject();
}

void HelpDialog::slotNeverShowItAgain()
{
    if (App *app = App::instance())
        app->setValue(QLatin1String(kNeverShowItAgain), true);
    accept();
}

void HelpDialog::slotWatchVideo()
{
    if (m_videoUrl.isEmpty())
        return;
    if (App::openLink(m_videoUrl))
        return;

    // The video site is not reachable: try the same video on the maker's own
    // video page, whose host depends on the language.
    const QString language = App::instance() ? App::instance()->language() : QString();
    const QString pagePrefix = SiteConfig::videoPagePrefix(language);
    QString address = replacePrefix(m_videoUrl, SiteConfig::videoShortLinkPrefix(), pagePrefix);
    if (!address.startsWith(pagePrefix))
        address = replacePrefix(m_videoUrl, SiteConfig::videoWatchPrefix(), pagePrefix);
    if (App::openLink(address))
        return;
    if (App::instance())
        App::instance()->slotSupportPage();
}

void HelpDialog::showEvent(QShowEvent *event)
{
    if (m_skipButtonOff)
        m_skipButton->hide();
    else
        m_skipButton->setVisible(shouldShow());
    m_viewArea->slotStartSlideShow();
    QDialog::showEvent(event);
}

void HelpDialog::hideEvent(QHideEvent *event)
{
    m_viewArea->slotStopSlideShow();
    QDialog::hideEvent(event);
}

} // namespace QMWidgets
