#include "moreappsbutton.h"

#include "app.h"
#include "siteconfig.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSignalMapper>

namespace QMWidgets {

MoreAppsButton::MoreAppsButton(QWidget *parent)
    : QPushButton(parent)
{
    m_mapper = new QSignalMapper(this);
    connect(m_mapper, SIGNAL(mapped(QString)), this, SLOT(slotCallUrl(QString)));
    m_menu = new QMenu(this);
    setMenu(m_menu);
}

void MoreAppsButton::addApp(const QPixmap &icon, const QString &title, const QString &url)
{
    QAction *action = new QAction(QIcon(icon), title, this);
    connect(action, SIGNAL(triggered()), m_mapper, SLOT(map()));
    m_mapper->setMapping(action, url);
    m_menu->addAction(action);
}

void MoreAppsButton::addAppStoreApp(const QPixmap &icon, const QString &title, const QString &name,
                                    const QString &id)
{
    addApp(icon, title, appStoreUrl(name, id));
}

void MoreAppsButton::addSeparator()
{
    m_menu->addSeparator();
}

void MoreAppsButton::addAction(QAction *action)
{
    m_menu->addAction(action);
}

QMenu *MoreAppsButton::appsMenu() const
{
    return m_menu;
}

QString MoreAppsButton::appStoreUrl(const QString &name, const QString &id)
{
    return SiteConfig::appStoreAppPage() + name.toLower() + QLatin1Char('/') + id
           + QStringLiteral("?ls=1&mt=12");
}

void MoreAppsButton::slotCallUrl(const QString &url)
{
    App::openLink(url);
}

} // namespace QMWidgets
