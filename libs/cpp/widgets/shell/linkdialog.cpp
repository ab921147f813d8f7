#include "linkdialog.h"

#include "app.h"
#include "siteconfig.h"
#include "stylehelpers.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

namespace {

const char *const WantedKey = "ShowTutoralDialog";

} // namespace

LinkDialog::LinkDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" Information"));

    m_rememberBox = new QCheckBox;
    m_rememberBox->setChecked(!isWanted());

    auto *yes = new QPushButton(tr("&Yes"));
    auto *no = new QPushButton(tr("&No"));
    stylePushButton(yes);
    stylePushButton(no);
    connect(yes, SIGNAL(clicked()), this, SLOT(slotGoToLink()));
    connect(no, SIGNAL(clicked()), this, SLOT(slotReject()));
    connect(m_rememberBox, SIGNAL(toggled(bool)), this, SLOT(slotRememberToggled(bool)));

    auto *picture = new QLabel;
    picture->setStyleSheet(QStringLiteral("QLabel{background-image: url(:/pix/nemo2.jpg);}"));
    picture->setFixedSize(360, 177);
    picture->setText(QStringLiteral("<CENTER><H3>")
                     + tr("Do you want to know what you<BR>can achieve with %1?")
                           .arg(QCoreApplication::applicationName())
                     + tr("<BR>(Watch the Video Introduction)</H3></CENTER>"));

    auto *rememberRow = new QHBoxLayout;
    rememberRow->setContentsMargins(0, 0, 0, 0);
    rememberRow->setSpacing(1);
    rememberRow->addWidget(m_rememberBox);
    rememberRow->addWidget(new QLabel(tr("Do not show this dialog again")));
    rememberRow->addStretch(1);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->setSpacing(5);
    buttonRow->addWidget(yes);
    buttonRow->addWidget(no);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);
    main->setSpacing(6);
    main->addWidget(picture);
    main->addLayout(buttonRow);
    main->addLayout(rememberRow);
}

bool LinkDialog::isWanted()
{
    const App *app = App::instance();
    return !app || app->value(QLatin1String(WantedKey), true).toBool();
}

bool LinkDialog::offerIfWanted(QWidget *parent)
{
    if (!isWanted())
        return false;
    QPointer<LinkDialog> dialog = new LinkDialog(parent);
    dialog->exec();
    delete dialog.data();
    return true;
}

void LinkDialog::slotGoToLink()
{
    const App *app = App::instance();
    const QString language = app ? app->language() : QStringLiteral("en");
    accept();
    App::openLink(SiteConfig::tutorialPage(language));
}

void LinkDialog::slotReject()
{
    reject();
}

void LinkDialog::slotRememberToggled(bool checked)
{
    if (App *app = App::instance())
        app->setValue(QLatin1String(WantedKey), !checked);
}

} // namespace QMWidgets
