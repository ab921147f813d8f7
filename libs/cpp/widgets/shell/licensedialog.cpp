#include "licensedialog.h"

#include "app.h"
#include "stylehelpers.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace QMWidgets {

namespace {

QString consentKey()
{
    return QCoreApplication::applicationName() + QStringLiteral("/License");
}

} // namespace

LicenseDialog::LicenseDialog(QWidget *parent)
    : TopWidget(true, parent)
{
    // The window is left only through its two buttons (or Escape).
    hideMaximizeButton();
    hideMinimizeButton();
    hideCloseButton();

    setTitle(QCoreApplication::applicationName() + QLatin1Char(' ') + tr("License Agreement"));

    auto *agree = new QPushButton(tr("&Agree"));
    auto *disagree = new QPushButton(tr("&Disagree"));
    stylePushButton(agree);
    stylePushButton(disagree);

    m_textEdit = new QTextEdit;
    m_textEdit->setStyleSheet(QStringLiteral("background:white; color:black"));
    m_textEdit->setReadOnly(true);

    connect(agree, SIGNAL(clicked()), this, SLOT(slotAccept()));
    connect(disagree, SIGNAL(clicked()), this, SLOT(reject()));

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(2, 2, 2, 2);
    buttons->setSpacing(2);
    buttons->addStretch(1);
    buttons->addWidget(agree);
    buttons->addWidget(disagree);

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_textEdit);
    layout->addLayout(buttons);
    contentLayout()->addLayout(layout);
}

void LicenseDialog::setText(const QString &html)
{
    m_textEdit->setHtml(html);
}

bool LicenseDialog::isAccepted()
{
    const App *app = App::instance();
    return app && app->value(consentKey(), false).toBool();
}

bool LicenseDialog::askIfNotAccepted(const QString &html, QWidget *parent)
{
    if (isAccepted())
        return true;
    QPointer<LicenseDialog> dialog = new LicenseDialog(parent);
    dialog->setText(html);
    const int result = dialog->exec();
    delete dialog.data();
    return result == 1 && isAccepted();
}

void LicenseDialog::slotAccept()
{
    if (App *app = App::instance())
        app->setValue(consentKey(), true);
    accept();
}

void LicenseDialog::slotDisagree()
{
}

} // namespace QMWidgets
