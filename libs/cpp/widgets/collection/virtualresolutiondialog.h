#pragma once

#include <QDialog>
#include <QSize>

class QComboBox;

namespace QMWidgets {

class ResolutionSetupWidget;

// Settings of the virtual-resolution host: the mode and the virtual size.
// The choice lives only in the dialog's controls; "&Apply" tells the host,
// which then reads mode() and size().
class VirtualResolutionDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode
    {
        VirtualResolutionMode = 0,
        NormalMode = 1
    };

    explicit VirtualResolutionDialog(QWidget *parent = nullptr);

    // The virtual size the setup shows.
    QSize size() const;
    Mode mode() const;

signals:
    void virtualResolutionChanged(QSize size);
    void changeVirtualResolution(QSize size);
    void changeSettings();

public slots:
    void slotApply();
    void slotModeChanged(int index);

private:
    QComboBox *m_modeCombo;
    ResolutionSetupWidget *m_virtualSetup;
    ResolutionSetupWidget *m_windowSetup;
};

} // namespace QMWidgets
