#include "dropwidget.h"

#include "defaultlook.h"
#include "filedialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

DropWidget::DropWidget(QWidget *parent)
    : Label(parent)
{
    qRegisterMetaType<QList<QUrl>>();

    setAcceptDrops(true);
    Label::setPixmap(QPixmap(QStringLiteral(":/droparea.png")));
    setObjectName(QStringLiteral("DropArea"));
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QLabel::setText(tr("<H1>Drop the photos here</H1>"));

    m_openButton = new QPushButton(tr("Click to open the photos"));
    m_openButton->setObjectName(QStringLiteral("PushButton"));
    m_openButton->setIcon(QIcon(QPixmap(QStringLiteral(":/openfiles.png"))));
    m_openButton->setFixedHeight(32);
    giveDefaultLabel(m_openButton, tr("Click to open the photos"));
    connect(m_openButton, SIGNAL(clicked()), this, SLOT(slotOpenClicked()));

    auto *column = new QVBoxLayout;
    column->addStretch(1);
    column->addWidget(m_openButton);
    auto *outer = new QHBoxLayout;
    outer->addLayout(column);
    setLayout(outer);
}

void DropWidget::setOpenMode(const int &mode)
{
    m_openMode = mode;
}

void DropWidget::setHideOnDrop(bool hide)
{
    m_hideOnDrop = hide;
}

void DropWidget::setButtonText(const QString &text)
{
    m_openButton->setText(text);
}

void DropWidget::setText(const QString &text)
{
    QLabel::setText(text);
}

void DropWidget::hideButton()
{
    m_openButton->hide();
}

bool DropWidget::isAcceptable(const QUrl &url)
{
    if (!url.isLocalFile())
        return false;
    // A stat only: the file is never opened, so a pipe cannot block here.
    const QFileInfo info(url.toLocalFile());
    return info.exists() && (info.isFile() || info.isDir());
}

QList<QUrl> DropWidget::acceptableOf(const QList<QUrl> &urls)
{
    QList<QUrl> kept;
    for (const QUrl &url : urls) {
        if (isAcceptable(url))
            kept.append(url);
    }
    return kept;
}

void DropWidget::handOn(const QList<QUrl> &urls)
{
    m_urls = urls;
    QPointer<DropWidget> self(this);
    emit dropped(m_urls);
    // A receiver may have destroyed the widget.
    if (self && m_hideOnDrop)
        hide();
}

QRect DropWidget::pictureRoom() const
{
    const int gap = 6;
    const int top = text().isEmpty() ? 0 : QLabel::heightForWidth(width()) + gap;
    const int bottom = m_openButton->isVisibleTo(this) ? m_openButton->geometry().top() - gap : height();
    return QRect(0, top, width(), qMax(0, bottom - top));
}

// The picture fits the room between the heading and the button, so neither
// is drawn over it. Other placement modes keep the label's own painting.
void DropWidget::paintEvent(QPaintEvent *event)
{
    if (mode() != 0) {
        Label::paintEvent(event);
        return;
    }
    QLabel::paintEvent(event);
    const QRect room = pictureRoom();
    if (picture().isNull() || room.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    QPixmap shown = picture().scaled(room.size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (shown.isNull())
        return;
    shown.setDevicePixelRatio(ratio);
    const QSize size = shown.size() / ratio;
    QPainter painter(this);
    if (opacity() < 1.0)
        painter.setOpacity(opacity());
    painter.drawPixmap(QRect(QPoint(room.x() + (room.width() - size.width()) / 2,
                                    room.y() + (room.height() - size.height()) / 2),
                             size),
                       shown);
}

// Files are taken as a copy whatever the source proposes: a source that
// deletes its data after a move would lose the user's files.
bool DropWidget::acceptAsCopy(QDropEvent *event)
{
    if (!(event->possibleActions() & Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void DropWidget::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (mime && mime->hasFormat(QStringLiteral("text/uri-list"))
        && !acceptableOf(mime->urls()).isEmpty())
        acceptAsCopy(event);
    Label::dragEnterEvent(event);
}

void DropWidget::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    const QList<QUrl> urls = mime ? acceptableOf(mime->urls()) : QList<QUrl>();
    if (urls.isEmpty() || !acceptAsCopy(event)) {
        event->ignore();
        return;
    }
    Label::dropEvent(event);
    handOn(urls);
}

void DropWidget::slotOpenClicked()
{
    // The dialogs run nested event loops in which this widget may be destroyed.
    QPointer<DropWidget> self(this);
    QStringList paths;
    if (m_openMode == 0) {
        QPointer<FileDialog> dialog = new FileDialog(this, tr("Open folder"));
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly, true);
        const int result = dialog->exec();
        if (dialog) {
            if (result == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
                paths.append(dialog->selectedFiles().first());
            delete dialog.data();
        }
    } else {
        paths = FileDialog::getOpenFileNames(this, tr("Open files"), QString(), QString());
    }
    if (!self || paths.isEmpty())
        return;

    QList<QUrl> urls;
    for (const QString &path : qAsConst(paths))
        urls.append(QUrl::fromLocalFile(path));
    urls = acceptableOf(urls);
    if (urls.isEmpty())
        return;
    handOn(urls);
}

} // namespace QMWidgets
