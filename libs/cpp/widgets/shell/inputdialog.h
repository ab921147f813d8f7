#pragma once

#include <QDialog>
#include <QLineEdit>

class QPushButton;
class QSpinBox;
class QStackedWidget;

namespace QMWidgets {

// A small modal dialog that asks for one line of text (mode 1) or one whole
// number (mode 0), in the shared dialog look.
class InputDialog : public QDialog
{
    Q_OBJECT

public:
    InputDialog(const QString &label, QWidget *parent, int mode);

    // 0 shows the number page, 1 the text page; other values are only stored.
    void setMode(int mode);
    int mode() const { return m_mode; }

    QSpinBox *spinBox() const { return m_spinBox; }
    QLineEdit *lineEdit() const { return m_lineEdit; }

    // Ask for text / a number. The field's content is returned whether or not
    // the user accepted; *ok (when given) tells which. A dialog destroyed with
    // its parent while it runs gives an empty text / 0 and *ok false.
    static QString getText(QWidget *parent, const QString &title, const QString &label,
                           QLineEdit::EchoMode echo = QLineEdit::Normal,
                           const QString &text = QString(), bool *ok = nullptr);
    // The range is set before the value, so any value within minimum..maximum survives.
    static int getInt(QWidget *parent, const QString &title, const QString &label, int value = 0,
                      int minimum = -2147483647, int maximum = 2147483647, bool *ok = nullptr);

public slots:
    void accept() override;
    void reject() override;

private:
    QSpinBox *m_spinBox = nullptr;
    QLineEdit *m_lineEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QStackedWidget *m_stack = nullptr;
    int m_mode = 0;
};

} // namespace QMWidgets
