#pragma once

#include <QMenu>

class QAction;

namespace QMWidgets {

// The application menu: its entries call the application object's service
// slots (introduction, rating, sharing, following, more apps, contact,
// support page, update check, privacy policy, about); the last entry only
// asks to quit through quitPressed(). Which optional entries exist is decided
// once, while the menu is built.
class AppMenu : public QMenu
{
    Q_OBJECT

public:
    explicit AppMenu(QWidget *parent = nullptr);

    // Each hides its entry (the entry stays in the menu, invisible).
    void hideIntro();
    void hideSupportPage();
    void hideRate();
    void hideMoreApps();
    void hideShare();
    void hideJoin();

signals:
    void quitPressed();

private:
    // Appends an entry connected to the given slot of the application object
    // (no connection when there is no application object).
    QAction *addEntry(const QString &text, const QString &iconPath, const char *slot);

    QAction *m_rateAction = nullptr;
    QAction *m_shareAction = nullptr;
    QAction *m_joinAction = nullptr;
    QAction *m_moreAppsAction = nullptr;
    QAction *m_supportPageAction = nullptr;
    QAction *m_introAction = nullptr;
};

} // namespace QMWidgets
