#pragma once

#include <QDialog>

class QCheckBox;

// Modal dialog with one check box per icon-set target platform. Each box
// mirrors a boolean setting (default true); Ok writes all six, Cancel none.
class AppSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AppSettingsDialog(QWidget *parent = nullptr);

    // Current stored values, read fresh on every call.
    static bool keyAndroid();
    static bool keyIOS();
    static bool keyIcns();
    static bool keyIco();
    static bool keyWindowsPhone();
    static bool keyBlackBerry();

public slots:
    void slotSaveSettings();
    void slotLoadSettings();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QCheckBox *m_blackBerry;
    QCheckBox *m_windowsPhone;
    QCheckBox *m_android;
    QCheckBox *m_iOS;
    QCheckBox *m_macOSX;
    QCheckBox *m_windows;
};
