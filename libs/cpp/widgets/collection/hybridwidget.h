#pragma once

#include "virtualresolutiondialog.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class QVBoxLayout;

namespace QMWidgets {

class VirtualResolutionWidget;

// The application's host widget. In normal mode an ordinary widget; in
// virtual mode it is laid out at a fixed virtual size inside a graphics view
// window that scales it to whatever size that window has. Owns the view
// window and the settings dialog.
class HybridWidget : public QWidget
{
    Q_OBJECT

public:
    explicit HybridWidget(QWidget *parent = nullptr);
    // Takes the host out of the view window before deleting the window, the
    // container and the dialog.
    ~HybridWidget() override;

    // Adds the application's content to the host's layout.
    void addWidget(QWidget *widget);
    // Titles the host and the view window.
    void setWindowTitle(const QString &title);
    bool isVirtualResolutionMode() const { return m_virtual; }

    // The view window of virtual mode (owned by the host).
    VirtualResolutionWidget *viewWindow() const { return m_viewWindow; }
    // The settings dialog; null until slotShowSettingsDialog() first ran.
    VirtualResolutionDialog *settingsDialog() const { return m_dialog; }

public slots:
    void slotSetVirtualResolutionMode(bool on);
    void slotShowFullScreenMode(bool on);
    // Applies the virtual size; ignored in normal mode.
    void slotSetSize(QSize size);
    void slotSetMode(VirtualResolutionDialog::Mode mode);
    void slotSetSettings();
    void slotShowSettingsDialog();

private:
    void applyVirtualSize(const QSize &size);

    QWidget *m_container;
    VirtualResolutionWidget *m_viewWindow;
    QVBoxLayout *m_layout;
    bool m_virtual = false;
    bool m_fullScreen = false;
    QPointer<VirtualResolutionDialog> m_dialog;
    QRect m_normalRect;
};

} // namespace QMWidgets
