#include "cssdoc.h"

#include "csssyntaxhighlighter.h"
#include "filedialog.h"
#include "filehelpers.h"
#include "mmessagebox.h"

#include <QEvent>
#include <QFont>
#include <QMessageBox>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextStream>

namespace QMWidgets {

namespace {

// Style sheets are text of some kilobytes; anything larger is not read.
const qint64 MaxFileSize = 4 * 1024 * 1024;
// The editor lays out each line as a whole, and again after each key typed
// in it, in time that grows with its length: a one-line (minified) sheet of
// 256 Ki characters is shown in about a tenth of a second and takes some 50
// ms a key, 2 Mi characters freeze the window for seconds. A file with a
// longer line than this is refused rather than shown. Characters are code
// points: one outside the Basic Multilingual Plane counts once, so a line of
// such characters (emoji) at the limit takes about twice as long.
const int MaxLineLength = 256 * 1024;

// The number (from 1) of the first line longer than MaxLineLength
// characters, with its length in characters in *length; 0 when there is
// none. Lines end where the document starts a new block: at a line feed, a
// carriage return (with a line feed after it, once) or a paragraph separator.
int firstOverlongLine(const QString &text, int *length)
{
    const int size = text.size();
    const QChar *chars = text.constData();
    int line = 1;
    int start = 0;
    int pairs = 0; // surrogate pairs in the line, each one character
    for (int i = 0; i <= size; ++i) {
        if (i < size && chars[i] != QLatin1Char('\n') && chars[i] != QLatin1Char('\r')
            && chars[i] != QChar::ParagraphSeparator) {
            if (chars[i].isLowSurrogate() && i > start && chars[i - 1].isHighSurrogate())
                ++pairs;
            continue;
        }
        if (i - start - pairs > MaxLineLength) {
            *length = i - start - pairs;
            return line;
        }
        if (i + 1 < size && chars[i] == QLatin1Char('\r') && chars[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
        pairs = 0;
        ++line;
    }
    return 0;
}

// Word wrapping looks for the end of the word again for every screen line,
// so a run without a break opportunity takes time growing with the square of
// its length: a run of 256 Ki characters takes seconds to lay out, one of
// this length about as long as the same text wrapped anywhere.
const int LongestWordWrappedRun = 1024;

// Where the first run of more than LongestWordWrappedRun characters without
// a line break opportunity starts in the text; -1 when there is none. Lines
// break after every blank but a no-break space, so only longer stretches
// between such blanks are searched for the other opportunities.
int longRunIn(const QString &text)
{
    const int size = text.size();
    const QChar *chars = text.constData();
    int stretch = 0;
    for (int i = 0; i <= size; ++i) {
        if (i < size && (!chars[i].isSpace() || chars[i].decompositionTag() == QChar::NoBreak))
            continue;
        if (i - stretch > LongestWordWrappedRun) {
            QTextBoundaryFinder finder(QTextBoundaryFinder::Line, chars + stretch, i - stretch);
            int previous = 0;
            for (int next = finder.toNextBoundary(); next != -1; next = finder.toNextBoundary()) {
                if (next - previous > LongestWordWrappedRun)
                    return stretch + previous;
                previous = next;
            }
        }
        stretch = i + 1;
    }
    return -1;
}

QFont editorFont()
{
    QFont font(QStringLiteral("Lucida Console"), 12, QFont::Normal, false);
    // Where that face is missing, a monospace one rather than the proportional default.
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

CssDoc::CssDoc(QWidget *parent)
    : QTextEdit(parent)
{
    m_highlighter = new CssSyntaxHighlighter(document());
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { updateWrapMode(position, added); });
    applyLook();
}

void CssDoc::updateWrapMode(int position, int added)
{
    // The run found last, while its first characters still make one,
    // decides without a look elsewhere.
    if (!m_longRun.isNull()) {
        const int start = m_longRun.position();
        if (start + LongestWordWrappedRun + 1 <= document()->characterCount()) {
            QString first(LongestWordWrappedRun + 1, Qt::Uninitialized);
            for (int i = 0; i < first.size(); ++i)
                first[i] = document()->characterAt(start + i);
            if (longRunIn(first) == 0)
                return;
        }
    }
    // Without one, only the changed text can bring one; once it is gone,
    // another may be anywhere.
    QTextBlock block = document()->findBlock(position);
    QTextBlock last = document()->findBlock(position + added);
    if (!m_longRun.isNull()) {
        block = document()->firstBlock();
        last = document()->lastBlock();
    }
    m_longRun = QTextCursor();
    // Empty text keeps the mode chosen for the text that comes next.
    if (document()->isEmpty())
        return;
    for (; block.isValid(); block = block.next()) {
        const int run = block.length() - 1 > LongestWordWrappedRun ? longRunIn(block.text()) : -1;
        if (run >= 0) {
            m_longRun = QTextCursor(document());
            m_longRun.setPosition(block.position() + run);
            break;
        }
        if (block == last)
            break;
    }
    const QTextOption::WrapMode mode =
        m_longRun.isNull() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void CssDoc::applyLook()
{
    document()->setDefaultFont(editorFont());
    setStyleSheet(QStringLiteral("QTextEdit{background: #000060; color: yellow;}"));
}

QString CssDoc::fileName() const
{
    return m_fileName;
}

void CssDoc::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

CssSyntaxHighlighter *CssDoc::highlighter() const
{
    return m_highlighter;
}

void CssDoc::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    // QTextEdit gives its document every new widget font, also one that an
    // applied style sheet sets; the text keeps the editor's own face.
    if (event->type() == QEvent::FontChange)
        document()->setDefaultFont(editorFont());
}

bool CssDoc::slotLoad()
{
    const QString name = FileDialog::getOpenFileName(this, QString(), QString(), QString());
    if (name.isEmpty())
        return false;
    QByteArray bytes;
    QString reason;
    QString text;
    bool readable = MTools::readRegularFile(name, MaxFileSize, &bytes, &reason);
    if (readable) {
        QTextStream stream(bytes);
        text = stream.readAll();
        reason = overlongLineReason(text);
        readable = reason.isEmpty();
    }
    if (!readable) {
        MMessageBox::warning(this, tr("Open"),
                             tr("The style sheet could not be loaded from %1.<BR>%2")
                                 .arg(name.toHtmlEscaped(), reason.toHtmlEscaped()),
                             QMessageBox::Ok);
        return false;
    }
    // The wrap mode is chosen before the text comes in, so that it is laid
    // out once.
    clear();
    setWordWrapMode(longRunIn(text) >= 0 ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    setPlainText(text);
    m_fileName = name;
    emit changeWindowTitle(m_fileName);
    return true;
}

bool CssDoc::slotSave()
{
    if (m_fileName.isEmpty())
        return slotSaveAs();
    return saveTo(m_fileName);
}

bool CssDoc::slotSaveAs()
{
    const QString name = FileDialog::getSaveFileName(this, m_fileName, QString(), QString());
    if (name.isEmpty())
        return false;
    return saveTo(name);
}

QString CssDoc::overlongLineReason(const QString &text) const
{
    int length = 0;
    const int line = firstOverlongLine(text, &length);
    if (line == 0)
        return QString();
    return tr("Line %1 is %2 characters long; the editor shows lines of at most %3 characters.")
        .arg(line)
        .arg(length)
        .arg(MaxLineLength);
}

bool CssDoc::saveTo(const QString &name)
{
    QString reason;
    bool saved = MTools::isSaveTarget(name, &reason);
    if (saved) {
        // The bytes are made first, so their size is known before anything is written.
        const QString text = toPlainText();
        QByteArray bytes;
        {
            QTextStream stream(&bytes, QIODevice::WriteOnly);
            stream << text;
        }
        QStringList unopenable;
        if (bytes.size() > MaxFileSize)
            unopenable << tr("The file will be %1 bytes long; the editor opens files of at most %2 bytes.")
                              .arg(bytes.size())
                              .arg(MaxFileSize);
        const QString line = overlongLineReason(text);
        if (!line.isEmpty())
            unopenable << line;
        if (!unopenable.isEmpty()) {
            QStringList escaped;
            for (const QString &piece : qAsConst(unopenable))
                escaped << piece.toHtmlEscaped();
            const int answer = MMessageBox::question(
                this, tr("Save"),
                tr("The editor will not open %1 again:<BR>%2<BR>Save it anyway?")
                    .arg(name.toHtmlEscaped(), escaped.join(QStringLiteral("<BR>"))),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return false;
        }
        QSaveFile file(name);
        saved = file.open(QIODevice::WriteOnly);
        // commit() misses a failed write of the last buffered bytes; flush()
        // reports it. An uncommitted temporary file is discarded; the old
        // file stays.
        saved = saved && file.write(bytes) == bytes.size() && file.flush() && file.commit();
        if (!saved)
            reason = file.errorString();
    }
    if (!saved) {
        MMessageBox::warning(this, tr("Save"),
                             tr("The style sheet could not be saved to %1.<BR>%2")
                                 .arg(name.toHtmlEscaped(), reason.toHtmlEscaped()),
                             QMessageBox::Ok);
        return false;
    }
    m_fileName = name;
    emit changeWindowTitle(m_fileName);
    return true;
}

} // namespace QMWidgets
