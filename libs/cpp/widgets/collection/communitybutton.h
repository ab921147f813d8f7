#pragma once

#include <QPushButton>
#include <QString>

namespace QMWidgets {

// A push button whose menu shares the application and opens the social
// network addresses the caller set. An empty address opens nothing.
class CommunityButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CommunityButton(QWidget *parent = nullptr);

    void setFaceBookUrl(const QString &url) { faceBookUrl = url; }
    void setYouTubeUrl(const QString &url) { youTubeUrl = url; }
    void setTwitterUrl(const QString &url) { twitterUrl = url; }
    void setMoiMirUrl(const QString &url) { moiMirUrl = url; }
    void setXingUrl(const QString &url) { xingUrl = url; }

public slots:
    void slotFaceBook();
    void slotYouTube();
    void slotTwitter();
    void slotMoiMir();
    void slotXing();

private:
    QString faceBookUrl;
    QString youTubeUrl;
    QString twitterUrl;
    QString moiMirUrl;
    QString xingUrl;
};

} // namespace QMWidgets
