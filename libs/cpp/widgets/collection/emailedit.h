#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace QMWidgets {

// A one-line e-mail field with "Send an ecard" and "Send an email" buttons
// that are enabled exactly while the whole text is an e-mail address.
class EmailEdit : public QWidget
{
    Q_OBJECT
public:
    explicit EmailEdit(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

signals:
    void sendEmail(QString text);
    void sendECard(QString text);
    void textChanged(QString text);

public slots:
    void slotSendEmail();
    void slotSendECard();
    void slotTextChanged();

private:
    void updateButtons(const QString &text);

    QLineEdit *lineEdit;
    QPushButton *cardButton;
    QPushButton *emailButton;
};

} // namespace QMWidgets
