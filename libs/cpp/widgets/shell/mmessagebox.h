#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace QMWidgets {

// The shell's modal message box: a standard icon beside a word-wrapped text
// and a centred row of push buttons. exec() returns the QMessageBox
// StandardButton code of the pressed button, UserDefinedButton for the
// caller's own button, and 0 when the box is closed without a button.
class MMessageBox : public QDialog
{
    Q_OBJECT

public:
    // Result code of the caller's own button; above every standard code.
    static const int UserDefinedButton = 0x10000000;

    // icon: 1 information, 2 warning, 3 critical, 4 question, else none.
    // buttons: OR of QMessageBox::StandardButton codes (Ok, Cancel, No, Yes,
    // Abort, Retry, Ignore, YesToAll, NoToAll make a button; other bits none).
    // A non-empty userButtonText adds one more button with that text.
    MMessageBox(int icon, const QString &title, const QString &text, int buttons,
                QWidget *parent = nullptr, const QString &userButtonText = QString());

    // Build a box with the matching icon, run it and destroy it; they return
    // exec()'s result (0 too when the parent is destroyed while the box runs).
    static int information(QWidget *parent, const QString &title, const QString &text, int buttons);
    static int warning(QWidget *parent, const QString &title, const QString &text, int buttons);
    static int critical(QWidget *parent, const QString &title, const QString &text, int buttons);
    static int question(QWidget *parent, const QString &title, const QString &text, int buttons);

public slots:
    void slotOk();
    void slotCancel();
    void slotYes();
    void slotNo();
    void slotAbort();
    void slotRetry();
    void slotIgnore();
    void slotYesAll();
    void slotNoAll();
    void slotUserDefined();

private:
    static int run(int icon, QWidget *parent, const QString &title, const QString &text, int buttons);

    QLabel *m_textLabel = nullptr;
    QLabel *m_iconLabel = nullptr;
};

} // namespace QMWidgets
