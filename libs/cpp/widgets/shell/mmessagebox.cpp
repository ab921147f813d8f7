#include "mmessagebox.h"

#include "app.h"
#include "stylehelpers.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

namespace QMWidgets {

namespace {

struct ButtonDef
{
    int code;
    const char *label;
    const char *slot;
};

// Buttons in their fixed left-to-right order, independent of the bit order.
const ButtonDef kButtons[] = {
    {QMessageBox::Ok, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "Ok"), SLOT(slotOk())},
    {QMessageBox::Cancel, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "Cancel"), SLOT(slotCancel())},
    {QMessageBox::No, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "No"), SLOT(slotNo())},
    {QMessageBox::Yes, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "Yes"), SLOT(slotYes())},
    {QMessageBox::Abort, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "Abort"), SLOT(slotAbort())},
    {QMessageBox::Retry, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "Retry"), SLOT(slotRetry())},
    {QMessageBox::Ignore, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "Ignore"), SLOT(slotIgnore())},
    {QMessageBox::YesToAll, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "YesAll"), SLOT(slotYesAll())},
    {QMessageBox::NoToAll, QT_TRANSLATE_NOOP("QMWidgets::MMessageBox", "NoAll"), SLOT(slotNoAll())},
};

QPixmap iconPixmap(int icon)
{
    QStyle::StandardPixmap which;
    switch (icon) {
    case 1:
        which = QStyle::SP_MessageBoxInformation;
        break;
    case 2:
        which = QStyle::SP_MessageBoxWarning;
        break;
    case 3:
        which = QStyle::SP_MessageBoxCritical;
        break;
    case 4:
        which = QStyle::SP_MessageBoxQuestion;
        break;
    default:
        return QPixmap();
    }
    return QApplication::style()->standardPixmap(which);
}

} // namespace

MMessageBox::MMessageBox(int icon, const QString &title, const QString &text, int buttons,
                         QWidget *parent, const QString &userButtonText)
    : QDialog(parent)
{
    setMinimumSize(300, 200);
    setObjectName(QStringLiteral("MessageBox"));
    setWindowTitle(title);

    m_textLabel = new QLabel;
    m_iconLabel = new QLabel;
    m_textLabel->setWordWrap(true);
    m_textLabel->setText(text);

    const QPixmap pixmap = iconPixmap(icon);
    m_iconLabel->setFixedSize(pixmap.width() + 5, pixmap.height() + 5);
    m_iconLabel->setPixmap(pixmap);

    QBoxLayout *buttonLayout = newButtonRowLayout();
    buttonLayout->setContentsMargins(1, 1, 1, 1);
    buttonLayout->setSpacing(3);
    buttonLayout->addStretch(1);

    for (const ButtonDef &def : kButtons) {
        if (!(buttons & def.code))
            continue;
        auto *button = new QPushButton(tr(def.label));
        buttonLayout->addWidget(button);
        connect(button, SIGNAL(clicked()), this, def.slot);
        stylePushButton(button);
    }
    if (!userButtonText.isEmpty()) {
        auto *button = new QPushButton(userButtonText);
        buttonLayout->addWidget(button);
        connect(button, SIGNAL(clicked()), this, SLOT(slotUserDefined()));
        stylePushButton(button);
    }
    buttonLayout->addStretch(1);

    auto *topRow = new QHBoxLayout;
    topRow->setContentsMargins(1, 1, 1, 1);
    topRow->setSpacing(1);
    topRow->addWidget(m_iconLabel);
    topRow->addWidget(m_textLabel);

    auto *mainLayout = new QVBoxLayout;
    mainLayout->setContentsMargins(5, 5, 5, 5);
    mainLayout->setSpacing(5);
    mainLayout->addLayout(topRow);
    mainLayout->addLayout(buttonLayout);
    setLayout(mainLayout);
}

int MMessageBox::run(int icon, QWidget *parent, const QString &title, const QString &text, int buttons)
{
    // The parent may be destroyed during the nested loop and take the box
    // with it; only a box that still lives is destroyed here.
    QPointer<MMessageBox> box = new MMessageBox(icon, title, text, buttons, parent, QString());
    const int result = box->exec();
    delete box.data();
    return result;
}

int MMessageBox::information(QWidget *parent, const QString &title, const QString &text, int buttons)
{
    return run(1, parent, title, text, buttons);
}

int MMessageBox::warning(QWidget *parent, const QString &title, const QString &text, int buttons)
{
    return run(2, parent, title, text, buttons);
}

int MMessageBox::critical(QWidget *parent, const QString &title, const QString &text, int buttons)
{
    return run(3, parent, title, text, buttons);
}

int MMessageBox::question(QWidget *parent, const QString &title, const QString &text, int buttons)
{
    return run(4, parent, title, text, buttons);
}

void MMessageBox::slotOk()
{
    done(QMessageBox::Ok);
}

void MMessageBox::slotCancel()
{
    done(QMessageBox::Cancel);
}

void MMessageBox::slotYes()
{
    done(QMessageBox::Yes);
}

void MMessageBox::slotNo()
{
    done(QMessageBox::No);
}

void MMessageBox::slotAbort()
{
    done(QMessageBox::Abort);
}

void MMessageBox::slotRetry()
{
    done(QMessageBox::Retry);
}

void MMessageBox::slotIgnore()
{
    done(QMessageBox::Ignore);
}

void MMessageBox::slotYesAll()
{
    done(QMessageBox::YesToAll);
}

void MMessageBox::slotNoAll()
{
    done(QMessageBox::NoToAll);
}

void MMessageBox::slotUserDefined()
{
    done(UserDefinedButton);
}

} // namespace QMWidgets
