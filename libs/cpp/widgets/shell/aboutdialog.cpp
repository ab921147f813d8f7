#include "aboutdialog.h"

#include "app.h"
#include "siteconfig.h"
#include "stylehelpers.h"

#include <QBoxLayout>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextDocument>

namespace QMWidgets {

namespace {

// The maker's rights notice; %1 is the build year, %2 the organisation.
const char kRightsNotice[] = "\xC2\xA9 %1 %2. All rights reserved.";

const char kLicenceFile[] = "LICENSE.LGPL";

// Every notice registered in this process.
QString &registeredNotices()
{
    static QString notices;
    return notices;
}

// Registered notices that no dialog has appended to the about text yet.
QString &pendingNotices()
{
    static QString notices;
    return notices;
}

QHBoxLayout *centredRow(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    App *app = App::instance();

    if (app && !pendingNotices().isEmpty()) {
        app->appendAboutText(pendingNotices());
        pendingNotices().clear();
    }

    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::CustomizeWindowHint);
    setWindowTitle(QCoreApplication::applicationName() + tr(" Info"));

    m_logoLabel = new QLabel;
    m_logoLabel->setObjectName(QStringLiteral("LogoLabel"));
    m_logoLabel->setFixedSize(290, 290);
    m_logoLabel->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    m_logoLabel->setLineWidth(5);
    m_logoLabel->setAutoFillBackground(true);

    m_legalButton = new QPushButton(tr("&Legal Notices"));
    auto *okButton = new QPushButton(tr("&Ok"));
    stylePushButton(m_legalButton);
    stylePushButton(okButton);
    connect(m_legalButton, SIGNAL(clicked()), this, SLOT(slotLegalNoticesClicked()));
    connect(okButton, SIGNAL(clicked()), this, SLOT(slotOkClicked()));

    m_legalView = new QTextBrowser;
    m_legalView->hide();
    m_legalView->setReadOnly(true);
    m_legalView->setObjectName(QStringLiteral("AboutLegalInfo"));
    m_legalView->setOpenLinks(false);
    m_legalView->setOpenExternalLinks(false);
    connect(m_legalView, SIGNAL(anchorClicked(QUrl)), this, SLOT(slotAnchorClicked(QUrl)));

    m_infoLabel = new QLabel;
    m_infoLabel->setObjectName(QStringLiteral("AboutInfoLabel"));
    m_infoLabel->setStyleSheet(QStringLiteral("background: black;"));
    // The maker's address opens through the application, like every other link.
    connect(m_infoLabel, &QLabel::linkActivated, this, [](const QString &link) { App::openLink(link); });
    m_infoLabel->setFixedHeight(87);

    const QDate built = App::buildDate();
    const QString address = SiteConfig::internationalSite();
    QString info = QStringLiteral("<BODY BGCOLOR=#000000><FONT COLOR=#00A0E0 SIZE=2><CENTER>")
        + QCoreApplication::applicationName() + QStringLiteral(" v") + QCoreApplication::applicationVersion()
        + QStringLiteral(" Build: ") + built.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("<BR>")
        + rightsNotice(built.year()).toHtmlEscaped() + QStringLiteral("<BR>");
    // A placeholder address is left out: it names no place the user could visit.
    if (SiteConfig::isRealLink(address)) {
        if (app && app->areWebLinksDisabled())
            info += address.toHtmlEscaped();
        else
            info += QStringLiteral("<A HREF=\"") + address.toHtmlEscaped() + QStringLiteral("\">")
                + address.toHtmlEscaped() + QStringLiteral("</A>");
        info += QStringLiteral("<BR>");
    }
    info += QStringLiteral("<IMG SRC=\":/pix/quillarlogo.png\"></CENTER>");
    m_infoLabel->setText(info);

    auto *mainLayout = new QVBoxLayout;
    mainLayout->setContentsMargins(4, 4, 4, 4);
    mainLayout->setSpacing(5);
    mainLayout->addLayout(centredRow(m_logoLabel));
    mainLayout->addWidget(m_infoLabel);
    mainLayout->addWidget(m_legalView);
    mainLayout->addLayout(centredRow(m_legalButton));
    mainLayout->addLayout(centredRow(okButton));
    setLayout(mainLayout);

    okButton->setFocus();
}

void AboutDialog::addLegalNotice(const QString &notice)
{
    QString text = notice;
    if (App *app = App::instance())
        text.replace(QStringLiteral("<!bundlepath!>"), app->resourcesDirectory());
    registeredNotices() += text;
    pendingNotices() += text;
}

QString AboutDialog::legalNotices()
{
    return registeredNotices();
}

QString AboutDialog::rightsNotice(int year)
{
    return QString::fromUtf8(kRightsNotice).arg(year).arg(QCoreApplication::organizationName());
}

void AboutDialog::showLegalNotices(bool information)
{
    const QSize before = size();
    m_infoLabel->setVisible(information);
    m_logoLabel->setVisible(information);
    m_legalView->setVisible(!information);
    if (information) {
        m_legalButton->setText(tr("&Legal Notices"));
    } else {
        m_legalButton->setText(tr("&Back"));
        const QString about = App::instance() ? App::instance()->aboutText() : QString();
        m_legalView->setHtml(QStringLiteral("<BODY><CENTER>") + about + QStringLiteral("</CENTER></BODY>"));
    }
    setFixedSize(before);
}

void AboutDialog::slotLegalNoticesClicked()
{
    showLegalNotices(m_logoLabel->isHidden());
}

void AboutDialog::slotOkClicked()
{
    close();
    showLegalNotices(true);
}

void AboutDialog::slotAnchorClicked(const QUrl &url)
{
    if (url.toLocalFile().contains(QLatin1String(".LGPL"))) {
        const QString path = (App::instance() ? App::instance()->resourcesDirectory() : QString())
            + QLatin1String(kLicenceFile);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        QByteArray bytes = file.readAll();
        file.close();
        const int zero = bytes.indexOf('\0');
        if (zero >= 0)
            bytes.truncate(zero);
        const QString text = QString::fromUtf8(bytes);
        // The clicked link left its anchor look (blue, underlined, a link
        // target) as the cursor's format, which a new plain text would take
        // over whole: start from a plain format.
        m_legalView->setCurrentCharFormat(QTextCharFormat());
        // The licence is normally plain text: as HTML its line breaks would
        // collapse and "<address>" parts would vanish as unknown tags.
        if (Qt::mightBeRichText(text))
            m_legalView->setHtml(text);
        else
            m_legalView->setPlainText(text);
        return;
    }
    App::openLink(url.toString());
}

} // namespace QMWidgets
