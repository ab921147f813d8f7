#include "inputdialog.h"

#include "stylehelpers.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>

namespace QMWidgets {

InputDialog::InputDialog(const QString &label, QWidget *parent, int mode)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InputDialog"));

    m_stack = new QStackedWidget;
    m_spinBox = new QSpinBox;
    m_lineEdit = new QLineEdit;
    m_lineEdit->setFixedHeight(32);
    m_stack->addWidget(m_spinBox);
    m_stack->addWidget(m_lineEdit);
    setMode(mode);

    m_okButton = new QPushButton(tr("Ok"));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"));
    stylePushButton(m_okButton);
    stylePushButton(m_cancelButton);
    connect(m_okButton, SIGNAL(clicked()), this, SLOT(accept()));
    connect(m_cancelButton, SIGNAL(clicked()), this, SLOT(reject()));

    // Buttons at the right, or stacked at the bottom on a small screen.
    QBoxLayout *buttons = newButtonRowLayout();
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto *content = new QVBoxLayout;
    content->addWidget(new QLabel(label));
    content->addWidget(m_stack);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(10, 10, 10, 10);
    main->setSpacing(7);
    main->addLayout(content);
    main->addLayout(buttons);
}

void InputDialog::setMode(int mode)
{
    m_mode = mode;
    if (mode == 0) {
        m_stack->setCurrentIndex(0);
        m_spinBox->setFocus();
    } else if (mode == 1) {
        m_stack->setCurrentIndex(1);
        m_lineEdit->setFocus();
    }
}

QString InputDialog::getText(QWidget *parent, const QString &title, const QString &label,
                             QLineEdit::EchoMode echo, const QString &text, bool *ok)
{
    QPointer<InputDialog> dialog = new InputDialog(label, parent, 1);
    dialog->setWindowTitle(title);
    dialog->m_lineEdit->setEchoMode(echo);
    dialog->m_lineEdit->setText(text);
    dialog->m_lineEdit->setFocus();

    const int result = dialog->exec();
    QString answer;
    if (dialog) {
        answer = dialog->m_lineEdit->text();
        delete dialog.data();
    }
    if (ok)
        *ok = result == QDialog::Accepted;
    return answer;
}

int InputDialog::getInt(QWidget *parent, const QString &title, const QString &label, int value,
                        int minimum, int maximum, bool *ok)
{
    QPointer<InputDialog> dialog = new InputDialog(label, parent, 0);
    dialog->setWindowTitle(title);
    dialog->m_spinBox->setRange(minimum, maximum);
    dialog->m_spinBox->setValue(value);

    const int result = dialog->exec();
    int answer = 0;
    if (dialog) {
        answer = dialog->m_spinBox->value();
        delete dialog.data();
    }
    if (ok)
        *ok = result == QDialog::Accepted;
    return answer;
}

void InputDialog::accept()
{
    QDialog::accept();
}

void InputDialog::reject()
{
    QDialog::reject();
}

} // namespace QMWidgets
