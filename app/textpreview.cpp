#include "textpreview.h"

#include "app.h"
#include "encodedimagecache.h"
#include "filedialog.h"
#include "formatbytesize.h"
#include "longtextedit.h"
#include "mmessagebox.h"
#include "os.h"
#include "safefilewriter.h"
#include "stylehelpers.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
// Pictures whose text held Saves may wait for at once, per view; each keeps
// its picture and its encoding in memory until written. A Save held for one
// more picture first writes the oldest here and now.
constexpr int maxHeldPictures = 2;
}

QList<TextPreview *> TextPreview::views;
int TextPreview::endingViews = 0;

TextPreview::TextPreview(QWidget *parent)
    : Preview(parent),
      form(Html),
      textMade(false),
      textPixmapKey(0),
      pendingText(0),
      waitingActions(NoAction)
{
    clipboard = QGuiApplication::clipboard();

    editor = new LongTextEdit;
    sizeLabel = new QLabel;

    // Each button has its own mnemonic: Alt+H shows, Alt+S saves, Alt+C copies.
    showButton = new QPushButton(tr("S&how"));
    saveButton = new QPushButton(tr("&Save"));
    copyButton = new QPushButton(tr("&Copy"));

    QMWidgets::setNameAndToolTip(saveButton, QStringLiteral("SaveButton"), tr("Save As"));
    QMWidgets::setNameAndToolTip(copyButton, QStringLiteral("CopyButton"), tr("Copy To Clipboard"));
    QMWidgets::setNameAndToolTip(showButton, QStringLiteral("ShowButton"),
                                 tr("Show in Web Browser"));
    showButton->setFlat(true);
    saveButton->setFlat(true);
    copyButton->setFlat(true);

    connect(showButton, SIGNAL(clicked()), this, SLOT(slotShowInWebBrowser()));
    connect(saveButton, SIGNAL(clicked()), this, SLOT(slotSave()));
    connect(copyButton, SIGNAL(clicked()), this, SLOT(slotClipboard()));
    // No picture yet: nothing to export.
    for (QPushButton *button : {showButton, copyButton, saveButton})
        button->setEnabled(false);
    // Quitting ends what waits before anything else runs on the way out (the
    // views are built before the shell's reminder connects to the same signal).
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { finishWaitingSave(); });

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setMargin(2);
    buttonRow->addWidget(showButton);
    buttonRow->addWidget(copyButton);
    buttonRow->addWidget(saveButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(sizeLabel);

    auto *mainLayout = new QVBoxLayout;
    mainLayout->setMargin(3);
    mainLayout->setSpacing(3);
    mainLayout->addWidget(editor);
    mainLayout->addLayout(buttonRow);
    setLayout(mainLayout);
    views.append(this);
}

TextPreview::~TextPreview()
{
    finishWaitingSave();
    views.removeOne(this);
}

void TextPreview::setType(int type)
{
    form = type;
    if (type == Xml || type == Xhtml || type == Base64)
        showButton->hide();
}

bool TextPreview::templateAround(int type, const QString &formatWord, int width, int height,
                                 QString *head, QString *tail)
{
    head->clear();
    tail->clear();
    if (type == Base64)
        return true;
    const QString uri = QLatin1String("data:image/") + formatWord + QLatin1String(";base64,");
    switch (type) {
    case Html:
        *head = QLatin1String("<HTML><BODY><img src=\"") + uri;
        *tail = QStringLiteral("\"/></BODY></HTML>");
        return true;
    case Css:
        *head = QLatin1String("<!DOCTYPE html>\n<html>\n<head>\n<style type=\"text/css\">\n"
                              "div.image {\n\twidth:")
                + QString::number(width) + QLatin1String("px;\n\theight:") + QString::number(height)
                + QLatin1String("px;\n\tbackground-image: url('") + uri;
        *tail = QStringLiteral("');\n}\n</style>\n</head>\n<body>\n"
                               "<div class=\"image\"></div>\n</body>\n</html>");
        return true;
    case Xml:
        *head = QLatin1String("<image>\n<title>An Image</title>\n<url>") + uri;
        *tail = QStringLiteral("</url></image>");
        return true;
    case Xhtml:
        *head = QLatin1String("<img src=\"") + uri;
        *tail = QStringLiteral("\"/>");
        return true;
    default:
        return false;
    }
}

QString TextPreview::buildText(int type, const QString &formatWord, const QString &base64,
                               int width, int height)
{
    QString head;
    QString tail;
    if (!templateAround(type, formatWord, width, height, &head, &tail))
        return QString();
    return head + base64 + tail;
}

void TextPreview::refresh(const QPixmap &pixmap)
{
    if (expecting) {
        refreshDeferred = true;
        return;
    }
    // The same rule as the picture view's Save: no picture, nothing to export.
    for (QPushButton *button : {showButton, copyButton, saveButton})
        button->setEnabled(!pixmap.isNull());
    // A Copy or Show held for a text that will not come has nothing to export.
    if (pixmap.isNull() && waitingActions != NoAction) {
        waitingActions = NoAction;
        updateWaiting();
    }
    // Only a new picture or format replaces a text that is shown; a tab
    // switch keeps the user's edits.
    if (textMade && pendingText == 0 && pixmap.cacheKey() == textPixmapKey
        && formatSpec() == textFormatSpec)
        return;
    textMade = true;
    textPixmapKey = pixmap.cacheKey();
    textFormatSpec = formatSpec();

    EncodedImageCache *cache = encodedImageCache().get();
    cache->cancel(pendingText);
    pendingText = 0;
    // Everything the text depends on is taken now; the bytes may come later.
    const int type = form;
    const QString spec = formatSpec();
    const QString formatWord = EncodedImageCache::formatName(spec).toLower();
    const int width = pixmap.width();
    const int height = pixmap.height();
    pendingText = cache->requestText(
        pixmap, spec, this,
        [this, type, formatWord, width, height](const QByteArray &, const QByteArray &base64) {
            pendingText = 0;
            showText(type, formatWord, base64, width, height);
            // A text expected after this one is what waits for.
            if (!expecting)
                runWaitingActions();
        });
    if (pendingText == 0)
        return;
    sizeLabel->setText(tr("Preparing\u2026"));
    pendingPixmap = pixmap;
    pendingSpec = spec;
}

void TextPreview::expectText()
{
    expecting = true;
}

void TextPreview::settleText()
{
    if (!expecting)
        return;
    expecting = false;
    const bool waits = waitingActions != NoAction
                       || std::any_of(heldSaves.cbegin(), heldSaves.cend(),
                                      [](const HeldSaves &batch) { return !batch.bound; });
    if (std::exchange(refreshDeferred, false) || waits) {
        // A hidden view asked only for a format change, or for what waits.
        if (isVisible() || waits || formatSpec() != textFormatSpec)
            refresh(pixmap());
    }
    bindHeldSaves();
    if (pendingText == 0)
        runWaitingActions();
}

// The base64 text stays the cache's Latin-1 bytes, shared by every view; the
// editor adds this form's head and tail around it.
void TextPreview::showText(int type, const QString &formatWord, const QByteArray &base64,
                           int width, int height)
{
    QString head;
    QString tail;
    if (templateAround(type, formatWord, width, height, &head, &tail))
        editor->setPlainText(head, base64, tail);
    else
        editor->setPlainText(QString());
    sizeLabel->setText(tr("Size: ") + formatByteSize(editor->textLength()));
}

QByteArray TextPreview::savedTextBytes(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return text.toUtf8();
    }
    return text.toLatin1();
}

QByteArray TextPreview::previewPageBytes(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    }
    return text.toLatin1();
}

// The saved-text bytes of the editor's text; a Latin-1 text (the generated
// ones) is taken from the editor without a UTF-16 copy.
QByteArray TextPreview::editorSavedBytes() const
{
    bool fits = false;
    const QByteArray latin1 = editor->toLatin1(&fits);
    return fits ? latin1 : savedTextBytes(editor->toPlainText());
}

bool TextPreview::writeToFile(const QString &path, QString *error)
{
    return SafeFileWriter::write(path, editorSavedBytes(), error);
}

// Holds a click until the pending text is shown, with a busy cursor meanwhile.
void TextPreview::wait(int action)
{
    waitingActions |= action;
    updateWaiting();
}

void TextPreview::updateWaiting()
{
    if (waitingActions != NoAction || !heldSaves.empty()) {
        setCursor(Qt::BusyCursor);
        if (!watchedWindow) {
            watchedWindow = window();
            watchedWindow->installEventFilter(this);
        }
        return;
    }
    unsetCursor();
    if (watchedWindow) {
        watchedWindow->removeEventFilter(this);
        watchedWindow = nullptr;
    }
}

void TextPreview::runWaitingActions()
{
    const int actions = std::exchange(waitingActions, int(NoAction));
    if (actions == NoAction)
        return;
    updateWaiting();
    if (actions & CopyAction)
        copyNow();
    if (actions & ShowAction)
        showNow();
}

void TextPreview::holdSave(const QString &fileName, bool bound)
{
    if (!heldSaves.empty() && heldSaves.back().bound == bound
        && (!bound
            || (heldSaves.back().pixmap.cacheKey() == pendingPixmap.cacheKey()
                && heldSaves.back().spec == pendingSpec))) {
        heldSaves.back().names.append(fileName);
        return;
    }
    if (int(heldSaves.size()) >= maxHeldPictures)
        writeHeldSaves(heldSaves.front().id);
    HeldSaves batch;
    batch.id = ++lastHeldId;
    batch.bound = bound;
    if (bound) {
        batch.pixmap = pendingPixmap;
        batch.spec = pendingSpec;
    }
    batch.names.append(fileName);
    heldSaves.push_back(std::move(batch));
    updateWaiting();
    if (bound)
        requestHeldText(heldSaves.back());
}

void TextPreview::bindHeldSaves()
{
    for (auto it = heldSaves.begin(); it != heldSaves.end(); ++it) {
        if (it->bound)
            continue;
        if (pendingText == 0 && it == heldSaves.begin()) {
            // Nothing older waits and the text is shown: saved as shown.
            const QStringList names = it->names;
            heldSaves.erase(it);
            updateWaiting();
            for (const QString &name : names)
                saveNow(name);
            return;
        }
        it->bound = true;
        it->pixmap = pendingText != 0 ? pendingPixmap : pixmap();
        it->spec = pendingText != 0 ? pendingSpec : formatSpec();
        requestHeldText(*it);
        return;
    }
}

void TextPreview::requestHeldText(HeldSaves &batch)
{
    // The text shared with the view's own request: one encoding serves both,
    // and a newer picture's request does not cancel this one. A text already
    // known comes back at once, and the batch may then be written and gone.
    const quint64 id = batch.id;
    const QPixmap picture = batch.pixmap;
    const QString spec = batch.spec;
    const quint64 ticket = encodedImageCache()->requestText(
        picture, spec, this,
        [this, id](const QByteArray &, const QByteArray &base64) { heldTextArrived(id, base64); });
    for (HeldSaves &held : heldSaves) {
        if (held.id == id && !held.arrived)
            held.ticket = ticket;
    }
}

void TextPreview::heldTextArrived(quint64 id, const QByteArray &base64)
{
    for (HeldSaves &held : heldSaves) {
        if (held.id == id) {
            held.ticket = 0;
            held.arrived = true;
            held.base64 = base64;
        }
    }
    writeHeldSaves(id);
}

void TextPreview::writeHeldSaves(quint64 upTo)
{
    writeHeldThrough = std::max(writeHeldThrough, upTo);
    // A warning's event loop may deliver another text meanwhile: the loop
    // below takes it up in its turn, so the order stays as confirmed.
    if (writingHeldSaves)
        return;
    writingHeldSaves = true;
    while (!heldSaves.empty()
           && (heldSaves.front().id <= writeHeldThrough || heldSaves.front().arrived)) {
        HeldSaves batch = std::move(heldSaves.front());
        heldSaves.pop_front();
        if (ending) {
            writingNow = batch.names;
            for (const QString &name : qAsConst(batch.names))
                std::fprintf(stderr, "%s: writing held Save \"%s\"\n",
                             qPrintable(QCoreApplication::applicationName()),
                             qPrintable(QDir::toNativeSeparators(name)));
            std::fflush(stderr);
            publishUnwritten();
        }
        if (!batch.bound) {
            batch.pixmap = pixmap();
            batch.spec = formatSpec();
        }
        if (!batch.arrived) {
            EncodedImageCache *cache = encodedImageCache().get();
            cache->cancel(batch.ticket);
            batch.base64 = cache->base64(batch.pixmap, batch.spec).toLatin1();
        }
        const QByteArray bytes = heldSaveBytes(batch);
        batch.base64.clear();
        // In the order confirmed; each failure is told on its own.
        for (const QString &name : qAsConst(batch.names)) {
            saveOrWarn(name, bytes, tr("Save As"));
            if (!writingNow.isEmpty()) {
                writingNow.removeFirst();
                publishUnwritten();
            }
        }
    }
    writingHeldSaves = false;
    updateWaiting();
}

// The bytes a Save of the batch's text writes: what the editor would save
// once it shows that text.
QByteArray TextPreview::heldSaveBytes(const HeldSaves &batch) const
{
    QString head;
    QString tail;
    if (!templateAround(form, EncodedImageCache::formatName(batch.spec).toLower(),
                        batch.pixmap.width(), batch.pixmap.height(), &head, &tail))
        return QByteArray();
    // The base64 text is ASCII: the whole is Latin-1 exactly when its head and tail are.
    const QString around = head + tail;
    const bool latin1 = std::all_of(around.cbegin(), around.cend(),
                                    [](QChar c) { return c.unicode() <= 0xFF; });
    return (latin1 ? head.toLatin1() : head.toUtf8()) + batch.base64
           + (latin1 ? tail.toLatin1() : tail.toUtf8());
}

void TextPreview::finishWaitingSave()
{
    waitingActions = NoAction;
    if (!heldSaves.empty() && !ending) {
        ending = true;
        ++endingViews;
        publishUnwritten();
        writeHeldSaves(heldSaves.back().id);
        ending = false;
        --endingViews;
        publishUnwritten();
    }
    updateWaiting();
}

// Every view's Saves count while any view ends: an interrupt ends them all.
void TextPreview::publishUnwritten()
{
    QStringList unwritten;
    if (endingViews > 0) {
        for (const TextPreview *view : qAsConst(views)) {
            QStringList names = view->writingNow;
            for (const HeldSaves &batch : view->heldSaves)
                names += batch.names;
            for (const QString &name : qAsConst(names))
                unwritten << QLatin1Char('"') + QDir::toNativeSeparators(name) + QLatin1Char('"');
        }
    }
    Os::setUnwrittenAtInterrupt(unwritten);
}

bool TextPreview::eventFilter(QObject *watched, QEvent *event)
{
    // Before the window goes, so a failed save can still be told.
    if (watched == watchedWindow && event->type() == QEvent::Close)
        finishWaitingSave();
    return Preview::eventFilter(watched, event);
}

void TextPreview::slotShowInWebBrowser()
{
    if (form != Html && form != Css)
        return;
    if (isTextPending())
        wait(ShowAction);
    else
        showNow();
}

void TextPreview::showNow()
{
    const QString path = QMWidgets::App::workDirectory(true)
                         + QLatin1String(form == Html ? "htmlPreview.html" : "cssPreview.html");
    // Bytes all below 0x80 are a plain ASCII text, which a page takes as is.
    QByteArray bytes = editorSavedBytes();
    if (std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) > 0x7F; }))
        bytes = previewPageBytes(editor->toPlainText());
    QString error;
    if (!SafeFileWriter::write(path, bytes, &error)) {
        QMWidgets::MMessageBox::warning(this, tr("Show in Web Browser"), error, QMessageBox::Ok);
        return;
    }
    const QPointer<TextPreview> view(this);
    const bool started = QMWidgets::App::openUrlWatched(
        QUrl::fromLocalFile(path), tr("web browser"), this, [view, path](const QString &cause) {
            QMWidgets::MMessageBox::warning(
                view, tr("Show in Web Browser"),
                tr("\"%1\" was written, but it could not be opened: %2.")
                    .arg(QDir::toNativeSeparators(path), cause),
                QMessageBox::Ok);
        });
    if (!started) {
        QMWidgets::MMessageBox::warning(
            this, tr("Show in Web Browser"),
            tr("\"%1\" was written, but no program could be started to open it: this system "
               "has no opener for web pages (xdg-open) or no web browser.")
                .arg(QDir::toNativeSeparators(path)),
            QMessageBox::Ok);
    }
}

void TextPreview::slotSave()
{
    const QString fileName = QMWidgets::FileDialog::getSaveFileName(
        this, tr("Save As"), QMWidgets::App::documentsDirectory(true), QString(), nullptr,
        QFileDialog::Options());
    if (fileName.isEmpty())
        return;
    if (isTextPending())
        holdSave(fileName, !expecting);
    else
        saveNow(fileName);
}

void TextPreview::saveNow(const QString &fileName)
{
    saveOrWarn(fileName, editorSavedBytes(), tr("Save As"));
}

void TextPreview::slotClipboard()
{
    if (isTextPending())
        wait(CopyAction);
    else
        copyNow();
}

void TextPreview::copyNow()
{
    clipboard->setText(editor->toPlainText(), QClipboard::Clipboard);
    editor->selectAll();
}
