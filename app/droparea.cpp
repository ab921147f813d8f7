#include "droparea.h"

#include "filedialog.h"
#include "imageloader.h"

#include <QBoxLayout>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

CreatorDropArea::CreatorDropArea(QWidget *parent)
    : QMWidgets::Label(parent)
{
    setFixedSize(280, 280);
    setAcceptDrops(true);
    setPixmap(QPixmap(QStringLiteral(":/droparea.png")));
    setObjectName(QStringLiteral("DropArea"));
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setText(tr("<H2>Drop image here</H2>"));

    openButton = new QPushButton(tr("Click to open the image"));
    openButton->setObjectName(QStringLiteral("PushButton"));
    openButton->setIcon(QIcon(QStringLiteral(":/openfiles.png")));
    openButton->setFixedHeight(32);
    connect(openButton, SIGNAL(clicked()), this, SLOT(slotOpenClicked()));

    QVBoxLayout *column = new QVBoxLayout;
    column->addStretch(1);
    column->addWidget(openButton);
    QHBoxLayout *layout = new QHBoxLayout;
    layout->addLayout(column);
    setLayout(layout);
}

CreatorDropArea::~CreatorDropArea() = default;

QString CreatorDropArea::fileName() const
{
    return imagePath;
}

void CreatorDropArea::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void CreatorDropArea::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    takeFile(urls.first().toLocalFile());
    QMWidgets::Label::dropEvent(event);
}

void CreatorDropArea::slotOpenClicked()
{
    // The dialog runs a nested event loop in which this area could be destroyed.
    const QPointer<CreatorDropArea> self(this);
    const QStringList files = QMWidgets::FileDialog::getOpenFileNames(
        this, tr("Open the image"), QString(), QString(), nullptr, QFileDialog::Options());
    if (!self || files.isEmpty())
        return;
    // Only the first chosen file is taken.
    takeFile(QUrl::fromLocalFile(files.first()).toLocalFile());
}

void CreatorDropArea::slotStateChanged(QString)
{
    showThumbnail();
}

void CreatorDropArea::takeFile(const QString &path)
{
    imagePath = path;
    showThumbnail();
    setText(QString());
    openButton->hide();
    emit dropped(true);
}

void CreatorDropArea::showThumbnail()
{
    const QPixmap pixmap = QPixmap::fromImage(ImageLoader::load(imagePath));
    if (pixmap.isNull()) {
        setPixmap(QPixmap());
        return;
    }
    const QSize target(qRound(width() * 2.0), qRound(height() * 2.0));
    setPixmap(pixmap.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
