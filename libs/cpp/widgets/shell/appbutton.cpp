#include "appbutton.h"

#include "appmenu.h"

namespace QMWidgets {

AppButton::AppButton(QWidget *parent)
    : QPushButton(parent)
{
    m_menu = new AppMenu(this);
    connect(m_menu, SIGNAL(quitPressed()), this, SIGNAL(quitPressed()));
    setMenu(m_menu);
}

AppMenu *AppButton::appMenu() const
{
    return m_menu;
}

void AppButton::hideIntro()
{
    m_menu->hideIntro();
}

void AppButton::hideSupportPage()
{
    m_menu->hideSupportPage();
}

void AppButton::hideRate()
{
    m_menu->hideRate();
}

void AppButton::hideMoreApps()
{
    m_menu->hideMoreApps();
}

void AppButton::hideShare()
{
    m_menu->hideShare();
}

void AppButton::hideJoin()
{
    m_menu->hideJoin();
}

} // namespace QMWidgets
