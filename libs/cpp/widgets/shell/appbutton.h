#pragma once

#include <QPushButton>

namespace QMWidgets {

class AppMenu;

// A push button that pops up the application menu and passes its quit request
// on. It has no text, icon, size or object name of its own: whoever places it
// sets them.
class AppButton : public QPushButton
{
    Q_OBJECT

public:
    explicit AppButton(QWidget *parent = nullptr);

    // The button's menu; owned by the button.
    AppMenu *appMenu() const;

    // The same operations of the menu.
    void hideIntro();
    void hideSupportPage();
    void hideRate();
    void hideMoreApps();
    void hideShare();
    void hideJoin();

signals:
    void quitPressed();

private:
    AppMenu *m_menu = nullptr;
};

} // namespace QMWidgets
