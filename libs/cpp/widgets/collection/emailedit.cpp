#include "emailedit.h"

#include "defaultlook.h"
#include "stylehelpers.h"
#include "textcodecs.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExp>

namespace QMWidgets {

EmailEdit::EmailEdit(QWidget *parent)
    : QWidget(parent)
{
    lineEdit = new QLineEdit;
    cardButton = new QPushButton;
    emailButton = new QPushButton;

    setNameAndToolTip(cardButton, QStringLiteral("CardEditButton"), tr("Send an ecard"));
    cardButton->setFixedSize(24, 24);
    cardButton->setFlat(true);
    cardButton->setEnabled(false);
    giveDefaultLook(cardButton, collectionIcon(QStringLiteral("ecard")), tr("Send an ecard"));

    setNameAndToolTip(emailButton, QStringLiteral("EmailEditButton"), tr("Send an email"));
    emailButton->setFixedSize(24, 24);
    emailButton->setFlat(true);
    emailButton->setEnabled(false);
    giveDefaultLook(emailButton, collectionIcon(QStringLiteral("email")), tr("Send an email"));

    connect(lineEdit, SIGNAL(textChanged(QString)), this, SLOT(slotTextChanged()));
    connect(cardButton, SIGNAL(clicked()), this, SLOT(slotSendECard()));
    connect(emailButton, SIGNAL(clicked()), this, SLOT(slotSendEmail()));

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lineEdit);
    layout->addWidget(cardButton);
    layout->addWidget(emailButton);
    setLayout(layout);
}

void EmailEdit::setText(const QString &text)
{
    lineEdit->setText(text);
    updateButtons(text);
}

QString EmailEdit::text() const
{
    return lineEdit->text();
}

void EmailEdit::slotSendEmail()
{
    emit sendEmail(lineEdit->text());
}

void EmailEdit::slotSendECard()
{
    emit sendECard(lineEdit->text());
}

void EmailEdit::slotTextChanged()
{
    const QString current = lineEdit->text();
    emit textChanged(current);
    updateButtons(current);
}

// The whole text must match, not just a part of it.
void EmailEdit::updateButtons(const QString &text)
{
    QRegExp pattern = MTools::emailRegExp();
    const bool valid = pattern.exactMatch(text);
    cardButton->setEnabled(valid);
    emailButton->setEnabled(valid);
}

} // namespace QMWidgets
