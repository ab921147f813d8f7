#pragma once

#include <QFrame>
#include <QPointer>
#include <QRandomGenerator>

class QAction;
class QPushButton;
class QTimer;

namespace QMWidgets {

class PromoMenuBar;

// A one-line banner that shows one entry of a menu bar's promotion menu at a
// time (its icon at the left, its description as large centred text) and
// draws another entry on a timer. A click anywhere triggers the entry shown;
// the close button at the right end can hide the banner. The style sheet
// selects on "AdsBar" and "AdsBarCloseButton".
class PromoAdsBar : public QFrame
{
    Q_OBJECT

public:
    // The source's entries are only read, never owned; a null source shows nothing.
    PromoAdsBar(QWidget *parent, PromoMenuBar *source);

    // Rotation interval in milliseconds (25000 by default).
    void setInterval(int milliseconds);
    // Only the first maxAds entries are drawn; 0 or less means every entry
    // but the last (the menu's closing separator).
    void setMaxAds(int maxAds);
    void setHideOnClick(bool hide);
    void setHideOnClose(bool hide);
    // Gives the text the full width up to the right edge.
    void hideCloseButton();

    // The entry shown; null before the first successful draw, after a draw
    // that found no entry with text, or once the entry was destroyed.
    QAction *currentAd() const;

signals:
    void adClicked();
    void closeClicked();

public slots:
    void slotInsertAd();
    void slotCloseClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QRect textRect() const;

    QPointer<PromoMenuBar> m_source;
    // Guarded: the menu bar owns its entries and may drop them at any time.
    QPointer<QAction> m_currentAd;
    QTimer *m_timer = nullptr;
    int m_maxAds = 10;
    bool m_hideOnClick = false;
    QPushButton *m_closeButton = nullptr;
    bool m_hideOnClose = false;
    QRandomGenerator m_random;
};

} // namespace QMWidgets
