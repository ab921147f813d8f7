#include "droparea.h"

#include "filedialog.h"
#include "imagekernel.h"
#include "latestjob.h"
#include "waitlabel.h"

#include <QBoxLayout>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QMovie>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include <memory>
#include <utility>

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

    // Filled, so that it reads over any thumbnail, with or without a style sheet.
    message = new QLabel;
    message->setObjectName(QStringLiteral("DropMessage"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignCenter);
    message->setAutoFillBackground(true);
    message->setMargin(4);
    message->hide();

    // Shown over the area while a file is read.
    waitLabel = new QMWidgets::WaitLabel(tr("Reading the picture..."), this);
    waitLabel->setWindowFlags(Qt::Widget);
    waitLabel->setAlignment(Qt::AlignCenter);
    waitLabel->setFixedSize(size());
    // The animation stands centred above the text.
    if (QLayout *waitLayout = waitLabel->layout()) {
        waitLayout->setContentsMargins(20, 70, 20, 20);
        if (QLabel *animation = waitLabel->findChild<QLabel *>())
            waitLayout->setAlignment(animation, Qt::AlignHCenter | Qt::AlignTop);
    }
    waitLabel->hide();
    // Its animation runs only while it is shown.
    waitMovie = waitLabel->findChild<QMovie *>();
    if (waitMovie)
        waitMovie->setPaused(true);
    reading = new LatestJob(this);

    QVBoxLayout *column = new QVBoxLayout;
    column->addStretch(1);
    column->addWidget(message);
    column->addWidget(openButton);
    QHBoxLayout *layout = new QHBoxLayout;
    layout->addLayout(column);
    setLayout(layout);
}

CreatorDropArea::~CreatorDropArea() = default;

namespace {

// Takes a drag of files as a copy whatever the source proposes: a source that
// deletes its data after a move would lose the user's file.
bool acceptAsCopy(QDropEvent *event)
{
    if (!event->mimeData()->hasFormat(QStringLiteral("text/uri-list"))
        || !(event->possibleActions() & Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

QString CreatorDropArea::fileName() const
{
    return imagePath;
}

void CreatorDropArea::dragEnterEvent(QDragEnterEvent *event)
{
    acceptAsCopy(event);
}

void CreatorDropArea::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !acceptAsCopy(event))
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
    update();
}

QImage CreatorDropArea::takeImage()
{
    return std::move(image);
}

bool CreatorDropArea::isReading() const
{
    return reading->isBusy();
}

// What a worker makes of one file.
struct CreatorDropArea::Read
{
    MGraphX::ImageDecoder::Outcome outcome = MGraphX::ImageDecoder::Taken;
    QImage image;
    QImage thumbnail;
};

void CreatorDropArea::takeFile(const QString &path)
{
    // Decoded once, for the thumbnail and for whoever takes it while dropped() is
    // delivered, turned the way the picture's own orientation says. The decoder's
    // budget also keeps the road's several copies and the base64 text in bounds.
    // The worker also makes the thumbnail and brings the pixels to the form the
    // road and a pixmap take, so the GUI thread copies nothing.
    auto result = std::make_shared<Read>();
    const QSize target(qRound(width() * 2.0), qRound(height() * 2.0));
    showReading(true);
    emit readingStarted();
    reading->start(
        [path, target, result] {
            QImage loaded = MGraphX::ImageDecoder::decodeFile(path, true, &result->outcome);
            if (loaded.isNull())
                return;
            result->image = ImageKernel::straightSource(std::move(loaded));
            result->thumbnail = ImageKernel::forPixmap(
                result->image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        },
        [this, path, result] {
            // A later file is being read: it decides, this one stands by in
            // case that one is refused.
            if (reading->isBusy()) {
                if (!result->image.isNull()) {
                    standby = result;
                    standbyPath = path;
                }
                return;
            }
            showReading(false);
            const std::shared_ptr<Read> earlier = std::move(standby);
            const QString earlierPath = standbyPath;
            standbyPath.clear();
            if (result->image.isNull()) {
                if (earlier)
                    take(earlierPath, *earlier);
                showRefusal(path, result->outcome);
                if (!earlier)
                    emit refused();
                return;
            }
            take(path, *result);
        });
}

void CreatorDropArea::take(const QString &path, Read &read)
{
    message->hide();
    imagePath = path;
    image = std::move(read.image);
    setPixmap(QPixmap::fromImage(std::move(read.thumbnail)));
    setText(QString());
    // The window's focus widget: a window still inactive after the open
    // dialog gives the focus back to it once active.
    const bool buttonHadFocus = window()->focusWidget() == openButton;
    openButton->hide();
    emit dropped(true);
    image = QImage();
    // The focus the hidden button had goes to the first control of the
    // column (the form, enabled by now), not to the far side of the window.
    if (buttonHadFocus)
        focusFirstControl();
}

void CreatorDropArea::showReading(bool reading)
{
    if (reading)
        waitLabel->raise();
    waitLabel->setVisible(reading);
    if (waitMovie)
        waitMovie->setPaused(!reading);
}

void CreatorDropArea::focusFirstControl()
{
    QWidget *column = parentWidget();
    if (!column)
        return;
    for (QWidget *w = column->nextInFocusChain(); w && w != column && column->isAncestorOf(w);
         w = w->nextInFocusChain()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CreatorDropArea::showRefusal(const QString &path, MGraphX::ImageDecoder::Outcome outcome)
{
    const QString name = QLatin1Char('"')
        + fontMetrics().elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle, width() * 2 / 3)
        + QLatin1Char('"');
    switch (outcome) {
    case MGraphX::ImageDecoder::TooLarge:
        message->setText(tr("%1 was not taken: the picture is too large (more than 100 megapixels).").arg(name));
        break;
    case MGraphX::ImageDecoder::TooCostly:
        message->setText(tr("%1 was not taken: decoding the picture would take too much memory (more than "
                            "400 MB) or too much work.").arg(name));
        break;
    case MGraphX::ImageDecoder::NotAPicture:
        message->setText(tr("%1 was not taken: it is not a picture, or it is damaged.").arg(name));
        break;
    default:
        message->setText(path.isEmpty() ? tr("This was not taken: it is not a local file.")
                                        : tr("%1 was not taken: it is not a file that can be read.").arg(name));
        break;
    }
    message->show();
}
