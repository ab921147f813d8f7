#pragma once

#include <QFrame>
#include <QString>

class QPushButton;

namespace QMWidgets {

// The following panel: an invitation text over a column of follow buttons
// (YouTube, Facebook, Twitter, and VKontakte when the interface language is
// "ru"; the e-mail button stays hidden). The buttons are owned by the layout
// and get their pictures from the style sheet through their object names.
class JoinWidget : public QFrame
{
    Q_OBJECT

public:
    explicit JoinWidget(QWidget *parent = nullptr);

public slots:
    void slotYouTubeClicked();
    // Shows a notice first; the page opens once it is closed.
    void slotFaceBookClicked();
    void slotTwitterClicked();
    void slotVKontakteClicked();
    void slotEmailClicked();

private:
    static void setupButton(QPushButton *button, const QString &name, const QString &text);

    // Address template: %1 the application name, %2 the word "email". Empty,
    // so the e-mail slot opens nothing.
    QString emailJoinUrl;
};

} // namespace QMWidgets
