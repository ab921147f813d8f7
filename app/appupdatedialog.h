#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

class QCheckBox;
class QLabel;

// The answer of an update check: an icon, a message, "Yes" (opens the
// program's update page) and "No", and a check box that switches the
// automatic check at start on or off at once. Both buttons reject.
class AppUpdateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AppUpdateDialog(QWidget *parent);

    void setText(QString text);
    void setPixmap(QPixmap pixmap);

    // The setting "checkupdates" (default true): whether the program checks
    // for updates at start. Without an application object: true, nothing stored.
    static bool checkUpdatesOnStart();
    static void setCheckUpdatesOnStart(bool check);

public slots:
    void slotCancel();
    void slotUpdate();
    void slotSetChecked(bool checked);

private:
    QCheckBox *m_checkBox;
    QLabel *m_messageLabel;
    QLabel *m_iconLabel;
};
