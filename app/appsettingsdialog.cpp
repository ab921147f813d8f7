#include "appsettingsdialog.h"

#include "app.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
bool readKey(const char *key)
{
    QMWidgets::App *app = QMWidgets::App::instance();
    return app ? app->value(QLatin1String(key), true).toBool() : true;
}

void writeKey(const char *key, const QCheckBox *box)
{
    if (QMWidgets::App *app = QMWidgets::App::instance())
        app->setValue(QLatin1String(key), QVariant(box->isChecked()));
}
}

AppSettingsDialog::AppSettingsDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QCoreApplication::applicationName() + tr(" Settings"));

    m_android = new QCheckBox(tr("Android"));
    m_iOS = new QCheckBox(tr("iOS"));
    m_macOSX = new QCheckBox(tr("Mac OS X"));
    m_windows = new QCheckBox(tr("Windows"));
    m_windowsPhone = new QCheckBox(tr("Windows Phone"));
    m_blackBerry = new QCheckBox(tr("BlackBerry"));

    slotLoadSettings();

    auto *ok = new QPushButton(tr("Ok"));
    auto *cancel = new QPushButton(tr("Cancel"));
    ok->setObjectName(QStringLiteral("PushButton"));
    cancel->setObjectName(QStringLiteral("PushButton"));
    connect(ok, SIGNAL(clicked()), this, SLOT(slotSaveSettings()));
    connect(cancel, SIGNAL(clicked()), this, SLOT(reject()));

    setWindowFlags(Qt::Tool | Qt::WindowSystemMenuHint);

    auto *boxes = new QVBoxLayout;
    boxes->addWidget(new QLabel(tr("<FONT COLOR=lightgray><H3>Create Icons for:</H3></FONT>")));
    boxes->addWidget(m_iOS);
    boxes->addWidget(m_macOSX);
    boxes->addWidget(m_android);
    boxes->addWidget(m_windows);
    boxes->addWidget(m_windowsPhone);
    boxes->addWidget(m_blackBerry);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *outer = new QVBoxLayout;
    outer->addLayout(boxes);
    outer->addLayout(buttons);
    setLayout(outer);
}

bool AppSettingsDialog::keyAndroid() { return readKey("KeyAndroid"); }
bool AppSettingsDialog::keyIOS() { return readKey("KeyIOS"); }
bool AppSettingsDialog::keyIcns() { return readKey("KeyIcns"); }
bool AppSettingsDialog::keyIco() { return readKey("KeyIco"); }
bool AppSettingsDialog::keyWindowsPhone() { return readKey("KeyWindowsPhone"); }
bool AppSettingsDialog::keyBlackBerry() { return readKey("KeyBlackBerry"); }

void AppSettingsDialog::slotLoadSettings()
{
    m_windowsPhone->setChecked(keyWindowsPhone());
    m_blackBerry->setChecked(keyBlackBerry());
    m_android->setChecked(keyAndroid());
    m_iOS->setChecked(keyIOS());
    m_macOSX->setChecked(keyIcns());
    m_windows->setChecked(keyIco());
}

void AppSettingsDialog::slotSaveSettings()
{
    writeKey("KeyWindowsPhone", m_windowsPhone);
    writeKey("KeyBlackBerry", m_blackBerry);
    writeKey("KeyAndroid", m_android);
    writeKey("KeyIOS", m_iOS);
    writeKey("KeyIcns", m_macOSX);
    writeKey("KeyIco", m_windows);
    accept();
}

void AppSettingsDialog::showEvent(QShowEvent *event)
{
    slotLoadSettings();
    QDialog::showEvent(event);
}
