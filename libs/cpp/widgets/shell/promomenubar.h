#pragma once

#include <QFrame>
#include <QList>

class QAction;
class QHBoxLayout;
class QMenu;
class QPixmap;
class QPushButton;
class QSignalMapper;

namespace QMWidgets {

class AppButton;

// The strip across the top of the main window: the More button with the
// cross-promotion menu at the left, two inner layouts for the application's
// own widgets, then the Intro, Share, Join, More Apps and Rate buttons and the
// application button. Every button calls a slot of the application object; the
// bar only decides which buttons exist and which are hidden. The buttons get
// their pictures from the style sheet through their object names.
class PromoMenuBar : public QFrame
{
    Q_OBJECT

public:
    // With quitBySignal the application menu's "Quit" only emits quitApp();
    // otherwise it quits the application.
    explicit PromoMenuBar(QWidget *parent = nullptr, bool quitBySignal = false);

    // Appends the widget just left of the Intro button (the bar takes it over).
    void addWidget(QWidget *widget);
    // Appends the widget to the centre, between the two stretches.
    void addCentralWidget(QWidget *widget);

    void hideIntroButton();
    void hideIntro();
    void hideMoreButton();
    void hidePromoMenuButton();
    void hideRateButton();
    void hideRate();
    void hideMoreAppsButton();
    void hideMoreApps();
    void hideShareButton();
    void hideShare();
    void hideJoinButton();
    void hideJoin();
    void hideSupportPage();

    // The cross-promotion menu; owned by the More button.
    QMenu *promoMenu() const;
    // Its actions in menu order, separators included.
    QList<QAction *> promoActions() const;
    void addSeparator();
    // Appends an existing action to the promotion menu; its owner does not change.
    void addAction(QAction *action);

    // Appends the products of a category word, then the closing item. The
    // menu is never cleared: filling twice appends twice.
    void fillPromoMenu(const QString &category);
    // Adds the first product row that matches the id, unless the running
    // application excludes it; an unknown id adds nothing.
    void addPromoApp(const QString &id);
    // Adds one entry opening the URL as the application object maps it
    // (storeProductUrl); an empty mapping adds nothing. Entries are owned by the bar.
    void addApp(const QPixmap &icon, const QString &title, const QString &url);
    void addAppStoreApp(const QPixmap &icon, const QString &title, const QString &name,
                        const QString &id);
    // A separator, "More Apps" (calls the application object's slotShowMoreApps()),
    // a separator.
    void addMoreAppsItem();

    void addBanjoApps();
    void addMandolinApps();
    void addBalalaikaApps();
    void addPianoApps();
    void addGuitarApps();
    void addBassApps();
    void addUkuleleApps();
    void addViolinApps();
    void addOtherApps();

signals:
    void quitApp();

public slots:
    // Opens the URL (tolerant parsing); placeholder and empty links open nothing.
    void slotCallUrl(const QString &url);

private:
    // addPromoApp for each id; an empty id appends a separator.
    void addPromoApps(const QStringList &ids);
    void addFamilyApps(const QString &instrument);

    QMenu *m_promoMenu = nullptr;
    QSignalMapper *m_mapper = nullptr;
    QHBoxLayout *m_rightLayout = nullptr;
    QHBoxLayout *m_centralLayout = nullptr;
    QPushButton *m_introButton = nullptr;
    QPushButton *m_moreButton = nullptr;
    QPushButton *m_rateButton = nullptr;
    QPushButton *m_moreAppsButton = nullptr;
    QPushButton *m_shareButton = nullptr;
    QPushButton *m_joinButton = nullptr;
    AppButton *m_appButton = nullptr;
};

} // namespace QMWidgets
