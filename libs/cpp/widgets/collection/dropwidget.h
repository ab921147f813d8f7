#pragma once

#include "label.h"

#include <QList>
#include <QUrl>

class QPushButton;

namespace QMWidgets {

// A drop target for photos: a picture with a heading that takes files or
// folders dragged onto it, and a button that opens a file (or folder) dialog.
// Either way the chosen items leave as one list of URLs in dropped(), and by
// default the widget hides itself afterwards.
//
// Only local files that are regular files or folders are taken; anything else
// (remote URLs, pipes, devices, sockets, missing paths) is left out, and a drag
// with nothing left is refused. The widget reads none of the files.
class DropWidget : public Label
{
    Q_OBJECT

public:
    explicit DropWidget(QWidget *parent = nullptr);

    // 0: the open button asks for one folder; any other value: for files.
    void setOpenMode(const int &mode);
    void setHideOnDrop(bool hide);
    void setButtonText(const QString &text);
    // The heading shown above the picture.
    void setText(const QString &text);
    void hideButton();

    // The last list handed on by dropped().
    QList<QUrl> urls() const { return m_urls; }

    // True for a local regular file or folder, the items this widget hands on.
    static bool isAcceptable(const QUrl &url);

signals:
    void dropped(QList<QUrl>);

public slots:
    void slotOpenClicked();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    static QList<QUrl> acceptableOf(const QList<QUrl> &urls);
    static bool acceptAsCopy(QDropEvent *event);
    // Where the picture goes: below the heading, above the open button.
    QRect pictureRoom() const;
    void handOn(const QList<QUrl> &urls);

    QList<QUrl> m_urls;
    QPushButton *m_openButton = nullptr;
    bool m_hideOnDrop = true;
    int m_openMode = 1;
};

} // namespace QMWidgets
