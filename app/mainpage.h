#pragma once

#include "promomainpage.h"

class Creator;
class Representor;
class QPushButton;

// The program's single window: the shell's frame with its menu bar on top,
// the image source (creator) on the left and the preview tabs on the right.
class MainPage : public QMWidgets::PromoMainPage
{
    Q_OBJECT
public:
    explicit MainPage(QWidget *parent = nullptr);

    Creator *creator() const { return m_creator; }
    Representor *representor() const { return m_representor; }
    QPushButton *settingsButton() const { return m_settingsButton; }

public slots:
    void slotShowSettings();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Creator *m_creator;
    Representor *m_representor;
    QPushButton *m_settingsButton;
};
