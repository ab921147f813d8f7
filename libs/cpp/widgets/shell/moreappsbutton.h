#pragma once

#include <QPushButton>

class QAction;
class QMenu;
class QPixmap;
class QSignalMapper;

namespace QMWidgets {

// A push button with a menu of links to other applications; choosing an
// entry opens its page.
class MoreAppsButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MoreAppsButton(QWidget *parent = nullptr);

    // Appends an entry that opens the URL; the entry is owned by the button.
    void addApp(const QPixmap &icon, const QString &title, const QString &url);
    // addApp with the desktop app store's page of the application.
    void addAppStoreApp(const QPixmap &icon, const QString &title, const QString &name,
                        const QString &id);
    void addSeparator();
    // Appends an existing action; its owner does not change.
    void addAction(QAction *action);

    // The button's menu; owned by the button.
    QMenu *appsMenu() const;

    // The desktop app store's page of an application: the store's app-page
    // address, the name in lower case, "/", the id and "?ls=1&mt=12".
    static QString appStoreUrl(const QString &name, const QString &id);

public slots:
    // Opens the URL (tolerant parsing); placeholder and empty links open nothing.
    void slotCallUrl(const QString &url);

private:
    QMenu *m_menu = nullptr;
    QSignalMapper *m_mapper = nullptr;
};

} // namespace QMWidgets
