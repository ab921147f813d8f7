#pragma once

#include <QDialog>

class QCheckBox;

namespace QMWidgets {

// Offers the tutorial on the maker's web site: "&Yes" opens the tutorial page
// in the user's language, "&No" declines. The box "Do not show this dialog
// again" keeps the setting "ShowTutoralDialog" (true while the offer is still
// wanted) up to date at every change.
class LinkDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LinkDialog(QWidget *parent = nullptr);

    QCheckBox *rememberBox() const { return m_rememberBox; }

    // Whether the offer is still wanted (setting "ShowTutoralDialog", default true).
    static bool isWanted();
    // Shows the dialog modally when the offer is still wanted and returns
    // whether it was shown. The dialog is deleted before the function returns
    // (or with the parent, if that goes first).
    static bool offerIfWanted(QWidget *parent = nullptr);

public slots:
    void slotGoToLink();
    void slotReject();
    void slotRememberToggled(bool checked);

private:
    QCheckBox *m_rememberBox = nullptr;
};

} // namespace QMWidgets
