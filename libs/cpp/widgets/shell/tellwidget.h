#pragma once

#include <QFrame>

class QPushButton;

namespace QMWidgets {

// The sharing panel: a column of share buttons (Facebook, Twitter, e-mail;
// the LinkedIn and VKontakte buttons exist but stay hidden). A button whose
// share link is empty is hidden. The buttons are owned by the layout and get
// their pictures from the style sheet through their object names.
class TellWidget : public QFrame
{
    Q_OBJECT

public:
    explicit TellWidget(QWidget *parent = nullptr);

public slots:
    void slotLinkedinClicked();
    void slotFaceBookClicked();
    void slotTwitterClicked();
    void slotVKontakteClicked();
    void slotEmailClicked();

private:
    static void setupButton(QPushButton *button, const QString &name, const QString &text);
};

} // namespace QMWidgets
