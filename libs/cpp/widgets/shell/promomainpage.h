#pragma once

#include <QFrame>
#include <QPointer>

namespace QMWidgets {

class PromoAdsBar;
class PromoMenuBar;

// Base of an application's main page. It creates the top menu bar and turns
// the bar's quit request into its own quitApp() signal; it lays nothing out:
// the derived page places the bar in its own layout (which makes the page the
// bar's parent).
class PromoMainPage : public QFrame
{
    Q_OBJECT

public:
    // With quitBySignal the application menu's "Quit" only emits quitApp();
    // otherwise it quits the application.
    explicit PromoMainPage(QWidget *parent = nullptr, bool quitBySignal = false);
    // Also deletes the bar when no layout ever took it over.
    ~PromoMainPage() override;

    // Never null; owned by the page once placed in its layout.
    PromoMenuBar *menuBar() const;
    // The rotating banner over the bar's promotion entries, made as a child of
    // the page on the first call; the caller places it in a layout.
    PromoAdsBar *adsBar();

signals:
    void quitApp();

public slots:
    // Called after a click on the banner; empty here.
    virtual void slotAdClicked();

private:
    QPointer<PromoMenuBar> m_menuBar;
    QPointer<PromoAdsBar> m_adsBar;
};

} // namespace QMWidgets
