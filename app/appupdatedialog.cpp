#include "appupdatedialog.h"
#include "mainapp.h"

#include "app.h"
#include "stylehelpers.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char kCheckUpdatesKey[] = "checkupdates";
}

AppUpdateDialog::AppUpdateDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("UpdateDialog"));
    setWindowTitle(QCoreApplication::applicationName() + tr(" Updates Notification"));

    m_iconLabel = new QLabel;
    m_messageLabel = new QLabel;
    m_checkBox = new QCheckBox(tr("Check for updates on start"));
    m_iconLabel->setAlignment(Qt::AlignHCenter);

    connect(m_checkBox, SIGNAL(toggled(bool)), this, SLOT(slotSetChecked(bool)));

    auto *yes = new QPushButton(tr("Yes"));
    connect(yes, SIGNAL(clicked()), this, SLOT(slotUpdate()));
    auto *no = new QPushButton(tr("No"));
    connect(no, SIGNAL(clicked()), this, SLOT(slotCancel()));
    QMWidgets::stylePushButton(yes);
    QMWidgets::stylePushButton(no);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->setSpacing(3);
    buttonRow->addWidget(yes);
    buttonRow->addWidget(no);

    auto *checkRow = new QHBoxLayout;
    checkRow->setContentsMargins(2, 2, 2, 2);
    checkRow->setSpacing(1);
    checkRow->addWidget(m_checkBox);
    checkRow->addStretch(1);

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_iconLabel);
    layout->addWidget(m_messageLabel);
    layout->addLayout(buttonRow);
    layout->addLayout(checkRow);
    setLayout(layout);

    // After the connection: a true setting is written back once, harmlessly.
    m_checkBox->setChecked(checkUpdatesOnStart());
}

void AppUpdateDialog::setText(QString text)
{
    m_messageLabel->setText(text);
}

void AppUpdateDialog::setPixmap(QPixmap pixmap)
{
    m_iconLabel->setPixmap(pixmap);
}

bool AppUpdateDialog::checkUpdatesOnStart()
{
    QMWidgets::App *app = QMWidgets::App::instance();
    return app ? app->value(QLatin1String(kCheckUpdatesKey), true).toBool() : true;
}

void AppUpdateDialog::setCheckUpdatesOnStart(bool check)
{
    if (QMWidgets::App *app = QMWidgets::App::instance())
        app->setValue(QLatin1String(kCheckUpdatesKey), check);
}

void AppUpdateDialog::slotCancel()
{
    reject();
}

void AppUpdateDialog::slotUpdate()
{
    QMWidgets::App::openLink(MainApp::siteBaseAddress() + QStringLiteral("/apps/updatepage.php?appname=")
                             + QCoreApplication::applicationName().toLower());
    reject();
}

void AppUpdateDialog::slotSetChecked(bool checked)
{
    setCheckUpdatesOnStart(checked);
}
