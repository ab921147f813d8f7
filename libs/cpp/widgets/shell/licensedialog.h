#pragma once

#include "topwidget.h"

class QTextEdit;

namespace QMWidgets {

// Shows an end-user agreement in a frameless window with Agree and Disagree
// and records the consent in the settings store (key: application name
// followed by "/License"). exec() returns 1 after Agree (the consent is then
// stored) and 0 after Disagree, Escape or reject(), which store nothing.
class LicenseDialog : public TopWidget
{
    Q_OBJECT

public:
    explicit LicenseDialog(QWidget *parent = nullptr);

    // Shows the agreement's HTML.
    void setText(const QString &html);
    QTextEdit *textEdit() const { return m_textEdit; }

    // Whether the user agreed in this or an earlier run (false when never stored).
    static bool isAccepted();
    // True at once when the user agreed before; otherwise shows the agreement
    // modally and returns whether the user agreed now. The dialog is deleted
    // before the function returns (or with the parent, if that goes first).
    static bool askIfNotAccepted(const QString &html, QWidget *parent = nullptr);

public slots:
    void slotAccept();
    void slotDisagree();

private:
    QTextEdit *m_textEdit = nullptr;
};

} // namespace QMWidgets
