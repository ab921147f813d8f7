#include "longtextedit.h"

#include "longtexteditaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>
#include <climits>
#include <limits>

namespace {

// Rows without wrapping that are longer than this many characters keep the
// pen position at every such step, so a spot far into them is found quickly.
constexpr int checkpointChars = 1024;
// Idle-time layout works in slices of this many characters, for at most
// this many milliseconds per timer event.
constexpr qint64 sliceChars = 1 << 18;
constexpr int sliceMs = 8;
// Characters around the cursor that input methods see.
constexpr int surroundingChars = 256;
constexpr qint64 unlimited = std::numeric_limits<qint64>::max();

inline qint32 toFixed(qreal value)
{
    return qint32(qRound(value * 64));
}

inline bool isHighSurrogate(ushort c)
{
    return (c & 0xfc00) == 0xd800;
}

inline bool isLowSurrogate(ushort c)
{
    return (c & 0xfc00) == 0xdc00;
}

enum CharClass { SpaceClass, WordClass, OtherClass, NewlineClass };

} // namespace

LongTextEdit::LongTextEdit(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    init();
}

LongTextEdit::LongTextEdit(const QString &text, QWidget *parent)
    : QAbstractScrollArea(parent)
{
    init();
    setPlainText(text);
}

LongTextEdit::~LongTextEdit() = default;

void LongTextEdit::init()
{
    LongTextEditAccessible::install();
    m_lineStarts.append(0);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    setInputMethodHints(Qt::ImhMultiLine);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(20);
    updateMetrics();
    m_wrapWidth = wrapWidthFor(viewport()->width());
    resetLayout();
    updateScrollBars();
}

// --- text storage ------------------------------------------------------------

LongTextEdit::Chars LongTextEdit::chars() const
{
    if (!m_pieces)
        return Chars{m_text.utf16(), INT_MAX, nullptr, INT_MAX, nullptr};
    const int headSize = m_text.size();
    return Chars{m_text.utf16(), headSize, reinterpret_cast<const uchar *>(m_payload.constData()),
                 headSize + m_payload.size(), m_tail.utf16()};
}

QString LongTextEdit::toPlainText() const
{
    if (!m_pieces)
        return m_text;
    return m_text + QString::fromLatin1(m_payload) + m_tail;
}

QString LongTextEdit::textMid(int position, int length) const
{
    position = qBound(0, position, m_size);
    length = qBound(0, length, m_size - position);
    if (!m_pieces)
        return m_text.mid(position, length);
    QString part;
    part.reserve(length);
    const int headSize = m_text.size();
    const int payloadEnd = headSize + m_payload.size();
    const int end = position + length;
    if (position < headSize)
        part += m_text.midRef(position, qMin(end, headSize) - position);
    if (end > headSize && position < payloadEnd) {
        const int from = qMax(position, headSize);
        part += QLatin1String(m_payload.constData() + (from - headSize), qMin(end, payloadEnd) - from);
    }
    if (end > payloadEnd) {
        const int from = qMax(position, payloadEnd);
        part += m_tail.midRef(from - payloadEnd, end - from);
    }
    return part;
}

namespace {

bool fitsLatin1(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

} // namespace

QByteArray LongTextEdit::toLatin1(bool *fits) const
{
    *fits = fitsLatin1(m_text) && fitsLatin1(m_tail);
    if (!*fits)
        return QByteArray();
    if (!m_pieces)
        return m_text.toLatin1();
    if (m_text.isEmpty() && m_tail.isEmpty())
        return m_payload;
    QByteArray bytes;
    bytes.reserve(m_size);
    bytes += m_text.toLatin1();
    bytes += m_payload;
    bytes += m_tail.toLatin1();
    return bytes;
}

// --- metrics -----------------------------------------------------------------

void LongTextEdit::updateMetrics()
{
    // Without kerning and shaping a painted run is exactly as wide as the sum
    // of its characters' advances, which is what the layout counts.
    m_layoutFont = font();
    m_layoutFont.setKerning(false);
    m_layoutFont.setStyleStrategy(
        QFont::StyleStrategy(m_layoutFont.styleStrategy() | QFont::PreferNoShaping));
    const QFontMetricsF metrics(m_layoutFont);
    for (int c = 0; c < 128; ++c)
        m_ascii[c] = toFixed(metrics.horizontalAdvance(QString(QChar(c))));
    m_ascii[int('\n')] = 0;
    m_ascii[int('\t')] = -1; // depends on the pen position
    m_wideAdvances.clear();
    m_rowHeight = qMax(1, qCeil(metrics.height()));
    m_ascent = metrics.ascent();
    m_tabStop = qMax(64, toFixed(m_tabStopDistance));
}

qint32 LongTextEdit::wideAdvance(const Chars &data, int index) const
{
    const ushort c = data[index];
    uint key = c;
    int length = 1;
    if (isLowSurrogate(c) && index > 0 && isHighSurrogate(data[index - 1]))
        return 0; // counted with its high half
    if (isHighSurrogate(c) && index + 1 < m_size && isLowSurrogate(data[index + 1])) {
        key = QChar::surrogateToUcs4(c, data[index + 1]);
        length = 2;
    }
    const auto it = m_wideAdvances.constFind(key);
    if (it != m_wideAdvances.constEnd())
        return it.value();
    const qint32 advance = toFixed(QFontMetricsF(m_layoutFont).horizontalAdvance(textMid(index, length)));
    m_wideAdvances.insert(key, advance);
    return advance;
}

qint32 LongTextEdit::tabAdvance(qint64 x) const
{
    return qint32((x / m_tabStop + 1) * m_tabStop - x);
}

inline qint32 LongTextEdit::advanceAt(const Chars &data, int index, qint64 x) const
{
    const ushort c = data[index];
    if (c < 128) {
        const qint32 advance = m_ascii[c];
        return advance >= 0 ? advance : tabAdvance(x);
    }
    return wideAdvance(data, index);
}

// --- layout ------------------------------------------------------------------

// Finds where the wrapped row starting at start ends: after the last space
// before the first character that does not fit, else before that character
// (at least one character per row). A space that does not fit stays on the
// row. Returns where the next row starts; atNewline tells whether the row
// ended at a line break.
int LongTextEdit::breakRow(int start, bool *atNewline) const
{
    const Chars data = chars();
    const int n = m_size;
    const qint64 width = m_wrapWidth;
    qint64 x = 0;
    int lastBreak = -1;
    *atNewline = false;
    for (int i = start; i < n; ++i) {
        const ushort c = data[i];
        qint32 advance;
        if (c < 128) {
            advance = m_ascii[c];
            if (c <= ' ') {
                if (c == '\n') {
                    *atNewline = true;
                    return i + 1;
                }
                if (c == ' ' || c == '\t') {
                    if (advance < 0)
                        advance = tabAdvance(x);
                    x += advance;
                    if (x > width) {
                        if (i + 1 < n && data[i + 1] == '\n') {
                            *atNewline = true;
                            return i + 2;
                        }
                        return i + 1;
                    }
                    lastBreak = i + 1;
                    continue;
                }
            }
        } else {
            advance = wideAdvance(data, i);
        }
        if (x + advance > width && i > start) {
            if (lastBreak > 0)
                return lastBreak;
            if (isLowSurrogate(c) && i - 1 > start && isHighSurrogate(data[i - 1]))
                return i - 1;
            return i;
        }
        x += advance;
    }
    return n;
}

// Extends the wrapped layout until it has minRows rows and knows the row of
// position, or until it has covered maxChars more characters.
void LongTextEdit::layoutRows(int minRows, int position, qint64 maxChars) const
{
    if (m_wrapMode != WidgetWidth || m_rowsComplete)
        return;
    const int n = m_size;
    const qint64 begin = m_nextRowStart;
    while ((m_rows.size() < minRows || m_nextRowStart <= position)
           && m_nextRowStart - begin <= maxChars) {
        m_rows.append(m_nextRowStart);
        bool atNewline = false;
        const int next = breakRow(m_nextRowStart, &atNewline);
        if (next >= n && !atNewline) {
            m_rowsComplete = true;
            return;
        }
        m_nextRowStart = next;
    }
}

bool LongTextEdit::layoutComplete() const
{
    return m_wrapMode == NoWrap || m_rowsComplete;
}

int LongTextEdit::knownRowCount() const
{
    return m_wrapMode == WidgetWidth ? m_rows.size() : m_lineStarts.size();
}

int LongTextEdit::rowStart(int row) const
{
    return m_wrapMode == WidgetWidth ? m_rows.at(row) : m_lineStarts.at(row);
}

// End of a known row's text, before its line break if it has one.
int LongTextEdit::rowEnd(int row) const
{
    const int n = m_size;
    if (m_wrapMode == NoWrap)
        return row + 1 < m_lineStarts.size() ? m_lineStarts.at(row + 1) - 1 : n;
    int next;
    if (row + 1 < m_rows.size())
        next = m_rows.at(row + 1);
    else if (m_rowsComplete)
        return n;
    else
        next = m_nextRowStart;
    return next > 0 && QChar(charAt(next - 1)) == QLatin1Char('\n') ? next - 1 : next;
}

// Whether the row is followed by a soft break (its line goes on below).
bool LongTextEdit::rowEndsAtBreak(int row) const
{
    const int end = rowEnd(row);
    return end < m_size && QChar(charAt(end)) != QLatin1Char('\n');
}

// The row holding a position; a position at a soft break belongs to the row
// below.
int LongTextEdit::rowOfPosition(int position) const
{
    if (m_wrapMode == NoWrap)
        return lineIndexOf(position);
    layoutRows(1, position, unlimited);
    return int(std::upper_bound(m_rows.cbegin(), m_rows.cend(), position) - m_rows.cbegin()) - 1;
}

int LongTextEdit::visualRowOfCursor() const
{
    const int row = rowOfPosition(m_cursor);
    if (m_cursorAtRowEnd && row > 0 && rowStart(row) == m_cursor && rowEndsAtBreak(row - 1))
        return row - 1;
    return row;
}

// Rows laid out plus an estimate for the rest: every remaining line at
// least one row, and the remaining characters as many to a row as fit at the
// average advance of a sample.
int LongTextEdit::estimatedRowCount() const
{
    if (layoutComplete())
        return knownRowCount();
    const int from = m_nextRowStart;
    const qint64 chars = m_size - from;
    const qint64 linesAfter =
        m_lineStarts.cend() - std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), from);
    const qint64 perRow = qMax<qint64>(1, m_wrapWidth / averageAdvance(from));
    qint64 rows = linesAfter + qMax<qint64>(1, (chars + perRow - 1) / perRow);
    rows = qMin(rows, chars + 1);
    return int(qMin<qint64>(m_rows.size() + rows, INT_MAX / 2));
}

qint64 LongTextEdit::averageAdvance(int from) const
{
    const Chars data = chars();
    const int end = qMin(m_size, from + 4096);
    qint64 sum = 0;
    int count = 0;
    for (int i = from; i < end; ++i) {
        if (data[i] == '\n')
            continue;
        sum += advanceAt(data, i, 0);
        ++count;
    }
    if (count == 0)
        return qMax(1, m_ascii[int('x')]);
    return qMax<qint64>(1, sum / count);
}

// Width of a line without wrapping; measuring a long line also records its
// checkpoints.
qint64 LongTextEdit::lineWidth(int line) const
{
    qint64 &width = m_lineWidths[line];
    if (width >= 0)
        return width;
    const Chars data = chars();
    const int start = m_lineStarts.at(line);
    const int end = line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) - 1 : m_size;
    const bool longLine = end - start > checkpointChars;
    QVector<qint64> marks;
    if (longLine)
        marks.reserve((end - start) / checkpointChars + 1);
    qint64 x = 0;
    for (int block = start; block < end; block += checkpointChars) {
        if (longLine)
            marks.append(x);
        const int blockEnd = qMin(end, block + checkpointChars);
        for (int i = block; i < blockEnd; ++i)
            x += advanceAt(data, i, x);
    }
    if (longLine)
        m_checkpoints.insert(line, marks);
    width = x;
    --m_widthsUnknown;
    m_maxKnownWidth = qMax(m_maxKnownWidth, x);
    return x;
}

void LongTextEdit::measureLines(qint64 maxChars) const
{
    qint64 done = 0;
    while (m_widthsUnknown > 0 && done <= maxChars) {
        while (m_lineWidths.at(m_widthScan) >= 0)
            ++m_widthScan;
        const int line = m_widthScan;
        lineWidth(line);
        done += rowEnd(line) - m_lineStarts.at(line) + 1;
    }
}

qint64 LongTextEdit::estimatedWidth() const
{
    if (m_widthsUnknown == 0)
        return m_maxKnownWidth;
    if (m_longestLine < 0) {
        m_longestLine = 0;
        const int n = m_size;
        for (int line = 0; line < m_lineStarts.size(); ++line) {
            const int start = m_lineStarts.at(line);
            const int end = line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) - 1 : n;
            if (end - start > m_longestLine) {
                m_longestLine = end - start;
                m_longestLineStart = start;
            }
        }
    }
    return qMax(m_maxKnownWidth, qint64(m_longestLine) * averageAdvance(m_longestLineStart));
}

const QVector<qint64> *LongTextEdit::checkpoints(int row) const
{
    if (m_wrapMode != NoWrap || rowEnd(row) - rowStart(row) <= checkpointChars)
        return nullptr;
    auto it = m_checkpoints.constFind(row);
    if (it == m_checkpoints.constEnd()) {
        lineWidth(row);
        it = m_checkpoints.constFind(row);
    }
    return &it.value();
}

// Pen position of a position within a row, from the row's start.
qint64 LongTextEdit::xOfPosition(int row, int position) const
{
    const Chars data = chars();
    const int start = rowStart(row);
    position = qBound(start, position, rowEnd(row));
    int i = start;
    qint64 x = 0;
    if (const QVector<qint64> *marks = checkpoints(row)) {
        const int k = (position - start) / checkpointChars;
        i = start + k * checkpointChars;
        x = marks->at(k);
    }
    for (; i < position; ++i)
        x += advanceAt(data, i, x);
    return x;
}

// The position within a row nearest to pen position x.
int LongTextEdit::positionAtX(int row, qint64 x) const
{
    const Chars data = chars();
    const int start = rowStart(row);
    const int end = rowEnd(row);
    if (x <= 0)
        return start;
    int i = start;
    qint64 pen = 0;
    if (const QVector<qint64> *marks = checkpoints(row)) {
        const int k =
            qMax(0, int(std::upper_bound(marks->cbegin(), marks->cend(), x) - marks->cbegin()) - 1);
        i = start + k * checkpointChars;
        pen = marks->at(k);
    }
    for (; i < end; ++i) {
        const qint32 advance = advanceAt(data, i, pen);
        if (x < pen + advance / 2)
            return validPosition(i, true);
        pen += advance;
    }
    return end;
}

void LongTextEdit::resetLayout()
{
    m_rows.clear();
    m_nextRowStart = 0;
    m_rowsComplete = false;
    m_lineWidths.fill(-1, m_lineStarts.size());
    m_widthsUnknown = m_lineStarts.size();
    m_widthScan = 0;
    m_maxKnownWidth = 0;
    m_longestLine = -1;
    m_checkpoints.clear();
    scheduleBackgroundLayout();
}

// Lays out again for a new width, font or wrap mode, keeping the text at the
// top of the view in place.
void LongTextEdit::relayoutKeepingTop()
{
    const int top = verticalScrollBar()->value();
    layoutRows(top + 1, -1, unlimited);
    const int anchor = rowStart(qBound(0, top, knownRowCount() - 1));
    resetLayout();
    const int newTop = rowOfPosition(anchor);
    updateScrollBars();
    verticalScrollBar()->setValue(newTop);
    if (m_wrapMode == WidgetWidth)
        horizontalScrollBar()->setValue(0);
    viewport()->update();
}

// Drops the layout that an edit at position may have changed. A row's break
// depends on the characters up to the first one that did not fit, which lies
// at most in the next row, so rows ending two rows before the edit stay.
void LongTextEdit::invalidateFrom(int position)
{
    if (m_rows.isEmpty()) {
        m_nextRowStart = 0;
        m_rowsComplete = false;
    } else {
        const int row =
            !m_rowsComplete && position >= m_nextRowStart
                ? m_rows.size()
                : int(std::upper_bound(m_rows.cbegin(), m_rows.cend(), position) - m_rows.cbegin())
                      - 1;
        const int keep = qMax(0, row - 1);
        if (keep < m_rows.size()) {
            m_nextRowStart = m_rows.at(keep);
            m_rows.resize(keep);
            m_rowsComplete = false;
        }
    }

    // Widths: lines before the edited one keep theirs.
    const int line = lineIndexOf(position);
    const int lines = m_lineStarts.size();
    m_lineWidths.resize(lines);
    m_widthsUnknown = 0;
    m_maxKnownWidth = 0;
    for (int i = 0; i < lines; ++i) {
        if (i >= line)
            m_lineWidths[i] = -1;
        if (m_lineWidths.at(i) < 0)
            ++m_widthsUnknown;
        else
            m_maxKnownWidth = qMax(m_maxKnownWidth, m_lineWidths.at(i));
    }
    m_widthScan = qMin(m_widthScan, line);
    m_longestLine = -1;
    for (auto it = m_checkpoints.begin(); it != m_checkpoints.end();) {
        if (it.key() >= line)
            it = m_checkpoints.erase(it);
        else
            ++it;
    }
    scheduleBackgroundLayout();
}

qint64 LongTextEdit::wrapWidthFor(int viewportWidth) const
{
    return qMax<qint64>(1, viewportWidth - 2 * documentMargin()) * 64;
}

int LongTextEdit::pageRows() const
{
    return qMax(1, (viewport()->height() - documentMargin()) / m_rowHeight);
}

void LongTextEdit::updateScrollBars()
{
    if (m_updatingScrollBars) {
        m_scrollBarsDirty = true;
        return;
    }
    m_updatingScrollBars = true;
    // Showing or hiding a scroll bar resizes the viewport, which may change
    // the layout; a few passes settle it.
    for (int pass = 0; pass < 3; ++pass) {
        m_scrollBarsDirty = false;
        const int page = pageRows();
        QScrollBar *vertical = verticalScrollBar();
        vertical->setPageStep(page);
        vertical->setRange(0, qMax(0, estimatedRowCount() - page));
        QScrollBar *horizontal = horizontalScrollBar();
        if (m_wrapMode == NoWrap) {
            const int width = viewport()->width();
            const qint64 content = (estimatedWidth() + 63) / 64 + 2 * documentMargin() + 1;
            horizontal->setPageStep(width);
            horizontal->setRange(0, int(qBound<qint64>(0, content - width, INT_MAX / 2)));
        } else {
            horizontal->setRange(0, 0);
        }
        if (!m_scrollBarsDirty)
            break;
    }
    m_updatingScrollBars = false;
}

void LongTextEdit::scheduleBackgroundLayout()
{
    const bool pending = m_wrapMode == WidgetWidth ? !m_rowsComplete : m_widthsUnknown > 0;
    if (pending && isVisible())
        m_layoutTimer.start(0, this);
}

int LongTextEdit::visualRowCount() const
{
    layoutRows(INT_MAX, INT_MAX, unlimited);
    return knownRowCount();
}

// --- painting ----------------------------------------------------------------

int LongTextEdit::rowY(int row) const
{
    return documentMargin() + (row - verticalScrollBar()->value()) * m_rowHeight;
}

qreal LongTextEdit::pixelX(qint64 x) const
{
    return documentMargin() - horizontalScrollBar()->value() + x / 64.0;
}

// Draws the part of a row's text that falls into the viewport, in runs
// between tabs, with the painter's pen.
void LongTextEdit::paintRowText(QPainter &painter, int row, int y) const
{
    const int start = rowStart(row);
    const int end = rowEnd(row);
    if (start >= end)
        return;
    const Chars data = chars();
    const qreal origin = documentMargin() - horizontalScrollBar()->value();
    const qint64 left = qint64(-origin * 64);
    const qint64 right = qint64((viewport()->width() - origin) * 64);
    int i = start;
    qint64 x = 0;
    if (const QVector<qint64> *marks = checkpoints(row)) {
        const int k = qMax(
            0, int(std::upper_bound(marks->cbegin(), marks->cend(), left) - marks->cbegin()) - 1);
        i = start + k * checkpointChars;
        x = marks->at(k);
    }
    while (i < end) {
        const qint32 advance = advanceAt(data, i, x);
        if (x + advance >= left)
            break;
        x += advance;
        ++i;
    }
    const qreal baseline = y + m_ascent;
    auto drawRun = [&](int from, int to, qint64 at) {
        if (to > from)
            painter.drawText(QPointF(origin + at / 64.0, baseline), textMid(from, to - from));
    };
    int runStart = i;
    qint64 runX = x;
    while (i < end && x <= right) {
        const qint32 advance = advanceAt(data, i, x);
        if (data[i] == '\t') {
            drawRun(runStart, i, runX);
            runStart = i + 1;
            runX = x + advance;
        }
        x += advance;
        ++i;
    }
    if (i < end && isLowSurrogate(data[i]))
        ++i;
    drawRun(runStart, i, runX);
}

void LongTextEdit::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const int top = verticalScrollBar()->value();
    const int count = viewport()->height() / m_rowHeight + 2;
    layoutRows(top + count, -1, unlimited);
    const int last = qMin(knownRowCount(), top + count);
    const int selStart = qMin(m_cursor, m_anchor);
    const int selEnd = qMax(m_cursor, m_anchor);
    const QPalette &pal = palette();
    const int width = viewport()->width();
    const qreal newlineWidth = m_ascii[int(' ')] / 64.0;

    painter.setFont(m_layoutFont);
    for (int row = top; row < last; ++row) {
        const int y = rowY(row);
        if (!event->rect().intersects(QRect(0, y, width, m_rowHeight)))
            continue;
        painter.setPen(pal.color(QPalette::Text));
        paintRowText(painter, row, y);

        if (selStart == selEnd)
            continue;
        const int start = rowStart(row);
        const int end = rowEnd(row);
        const int from = qMax(selStart, start);
        const int to = qMin(selEnd, end);
        const bool newlineSelected = selEnd > end && selStart <= end && end < m_size
                                     && QChar(charAt(end)) == QLatin1Char('\n');
        if (from > to || (from == to && !newlineSelected))
            continue;
        const qreal x1 = pixelX(xOfPosition(row, from));
        const qreal x2 = pixelX(xOfPosition(row, to)) + (newlineSelected ? newlineWidth : 0);
        const QRectF band(x1, y, x2 - x1, m_rowHeight);
        painter.fillRect(band, pal.brush(QPalette::Highlight));
        painter.save();
        painter.setClipRect(band);
        painter.setPen(pal.color(QPalette::HighlightedText));
        paintRowText(painter, row, y);
        painter.restore();
    }

    if (!m_preedit.isEmpty()) {
        const QRect caret = cursorRect();
        const QFontMetricsF metrics(m_layoutFont);
        const QRectF box(caret.left(), caret.top(), metrics.horizontalAdvance(m_preedit),
                         m_rowHeight);
        painter.fillRect(box, pal.brush(QPalette::Base));
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(QPointF(box.left(), box.top() + m_ascent), m_preedit);
        painter.drawLine(box.bottomLeft() - QPointF(0, 1), box.bottomRight() - QPointF(0, 1));
    } else if (m_caretVisible && hasFocus() && !m_readOnly) {
        painter.fillRect(cursorRect(), pal.brush(QPalette::Text));
    }
    if (m_dropCaret >= 0 && m_dropCaret <= m_size)
        painter.fillRect(cursorRect(m_dropCaret), pal.brush(QPalette::Text));
}

// --- geometry ----------------------------------------------------------------

QRect LongTextEdit::cursorRect(int position) const
{
    position = validPosition(position, false);
    const int row = rowOfPosition(position);
    return QRect(qFloor(pixelX(xOfPosition(row, position))), rowY(row), 1, m_rowHeight);
}

QRect LongTextEdit::cursorRect() const
{
    const int row = visualRowOfCursor();
    return QRect(qFloor(pixelX(xOfPosition(row, m_cursor))), rowY(row), 1, m_rowHeight);
}

int LongTextEdit::cursorPositionAt(const QPoint &position) const
{
    bool atRowEnd = false;
    return hitTest(position, &atRowEnd, true);
}

// Text position at a viewport point: the nearest boundary, or with nearest
// false the character under the point. atRowEnd tells whether the point lies
// past the end of a row that continues below.
int LongTextEdit::hitTest(const QPoint &point, bool *atRowEnd, bool nearest) const
{
    const int top = verticalScrollBar()->value();
    const int dy = point.y() - documentMargin();
    int row = top + (dy >= 0 ? dy / m_rowHeight : -((m_rowHeight - 1 - dy) / m_rowHeight));
    row = qMax(0, row);
    layoutRows(row + 1, -1, unlimited);
    row = qMin(row, knownRowCount() - 1);
    const qint64 x = qint64(point.x() - documentMargin() + horizontalScrollBar()->value()) * 64;
    int position = positionAtX(row, x);
    if (!nearest) {
        // The character whose box holds x, rather than the nearest boundary.
        if (position > rowStart(row) && xOfPosition(row, position) > x)
            position = previousCharPosition(position);
    }
    *atRowEnd = position == rowEnd(row) && rowEndsAtBreak(row);
    return position;
}

// --- cursor ------------------------------------------------------------------

int LongTextEdit::validPosition(int position, bool forward) const
{
    const int n = m_size;
    position = qBound(0, position, n);
    if (position > 0 && position < n && isLowSurrogate(QChar(charAt(position)).unicode())
        && isHighSurrogate(QChar(charAt(position - 1)).unicode()))
        position += forward ? 1 : -1;
    return position;
}

int LongTextEdit::nextCharPosition(int position) const
{
    return validPosition(position + 1, true);
}

int LongTextEdit::previousCharPosition(int position) const
{
    return validPosition(position - 1, false);
}

int LongTextEdit::charClass(int position) const
{
    const QChar c = QChar(charAt(position));
    if (c == QLatin1Char('\n'))
        return NewlineClass;
    if (c.isSpace())
        return SpaceClass;
    if (c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_'))
        return WordClass;
    return OtherClass;
}

int LongTextEdit::nextWordPosition(int position) const
{
    const int n = m_size;
    if (position >= n)
        return n;
    const int cls = charClass(position);
    if (cls == NewlineClass) {
        ++position;
    } else if (cls != SpaceClass) {
        while (position < n && charClass(position) == cls)
            ++position;
    }
    while (position < n && charClass(position) == SpaceClass)
        ++position;
    return validPosition(position, true);
}

int LongTextEdit::previousWordPosition(int position) const
{
    if (position <= 0)
        return 0;
    const int from = position;
    while (position > 0 && charClass(position - 1) == SpaceClass)
        --position;
    if (position == 0)
        return 0;
    const int cls = charClass(position - 1);
    if (cls == NewlineClass)
        return position == from ? position - 1 : position;
    while (position > 0 && charClass(position - 1) == cls)
        --position;
    return validPosition(position, false);
}

// The run of characters of one class around the character at index.
void LongTextEdit::wordAt(int index, int *start, int *end) const
{
    const int n = m_size;
    if (index >= n || (index > 0 && QChar(charAt(index)) == QLatin1Char('\n')))
        --index;
    if (index < 0 || QChar(charAt(index)) == QLatin1Char('\n')) {
        *start = *end = qBound(0, index + 1, n);
        return;
    }
    const int cls = charClass(index);
    int s = index;
    int e = index + 1;
    while (s > 0 && charClass(s - 1) == cls)
        --s;
    while (e < n && charClass(e) == cls)
        ++e;
    *start = validPosition(s, false);
    *end = validPosition(e, true);
}

int LongTextEdit::lineIndexOf(int position) const
{
    return int(std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), position)
               - m_lineStarts.cbegin())
           - 1;
}

LongTextEdit::Cursor LongTextEdit::textCursor() const
{
    Cursor cursor;
    cursor.m_position = m_cursor;
    cursor.m_anchor = m_anchor;
    return cursor;
}

QString LongTextEdit::selectedText() const
{
    const int start = qMin(m_cursor, m_anchor);
    return textMid(start, qAbs(m_cursor - m_anchor));
}

void LongTextEdit::setCursorPosition(int position, bool keepAnchor)
{
    moveCursorTo(validPosition(position, false), keepAnchor);
}

// Sets anchor and cursor and sends the signals for what changed.
void LongTextEdit::setCursorState(int anchor, int cursor, bool atRowEnd)
{
    const int oldStart = qMin(m_anchor, m_cursor);
    const int oldEnd = qMax(m_anchor, m_cursor);
    const bool hadSelection = oldStart != oldEnd;
    const bool cursorMoved = cursor != m_cursor;
    m_anchor = anchor;
    m_cursor = cursor;
    m_cursorAtRowEnd = atRowEnd;
    const int newStart = qMin(anchor, cursor);
    const int newEnd = qMax(anchor, cursor);
    const bool hasSelection = newStart != newEnd;
    restartBlinking();
    viewport()->update();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    if (cursorMoved) {
        emit cursorPositionChanged();
        if (QAccessible::isActive()) {
            QAccessibleTextCursorEvent event(this, cursor);
            QAccessible::updateAccessibility(&event);
        }
    }
    if ((hadSelection || hasSelection) && (oldStart != newStart || oldEnd != newEnd)) {
        emit selectionChanged();
        if (QAccessible::isActive()) {
            QAccessibleTextSelectionEvent event(this, newStart, newEnd);
            event.setCursorPosition(cursor);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (hadSelection != hasSelection)
        emit copyAvailable(hasSelection);
}

void LongTextEdit::moveCursorTo(int position, bool keepAnchor, bool atRowEnd)
{
    m_mergeOpen = false;
    m_desiredX = -1;
    setCursorState(keepAnchor ? m_anchor : position, position, atRowEnd);
    ensureCursorVisible();
}

// Moves the cursor rows up (negative) or down, keeping its pen position.
void LongTextEdit::moveVertically(int rows, bool keepAnchor)
{
    const int row = visualRowOfCursor();
    const qint64 x = m_desiredX >= 0 ? m_desiredX : xOfPosition(row, m_cursor);
    int target = qMax(0, row + rows);
    layoutRows(target + 1, -1, unlimited);
    target = qMin(target, knownRowCount() - 1);
    if (target == row && qAbs(rows) == 1) {
        // No row to go to: only a selection ends.
        if (!keepAnchor && hasSelectedText())
            moveCursorTo(m_cursor, false, m_cursorAtRowEnd);
        return;
    }
    const int position = positionAtX(target, x);
    moveCursorTo(position, keepAnchor, position == rowEnd(target) && rowEndsAtBreak(target));
    m_desiredX = x;
}

void LongTextEdit::moveToRowEdge(bool end, bool keepAnchor)
{
    const int row = visualRowOfCursor();
    if (!end) {
        moveCursorTo(rowStart(row), keepAnchor);
        return;
    }
    int position = rowEnd(row);
    bool atRowEnd = false;
    if (rowEndsAtBreak(row)) {
        // A row broken after a space ends before that space.
        if (position - 1 > rowStart(row) && QChar(charAt(position - 1)).isSpace())
            --position;
        else
            atRowEnd = true;
    }
    moveCursorTo(position, keepAnchor, atRowEnd);
}

void LongTextEdit::ensureCursorVisible()
{
    const int row = visualRowOfCursor();
    updateScrollBars();
    QScrollBar *vertical = verticalScrollBar();
    const int page = pageRows();
    if (row < vertical->value())
        vertical->setValue(row);
    else if (row >= vertical->value() + page)
        vertical->setValue(row - page + 1);
    if (m_wrapMode == NoWrap) {
        const int x = int(qMin<qint64>(xOfPosition(row, m_cursor) / 64, INT_MAX / 2));
        updateScrollBars();
        QScrollBar *horizontal = horizontalScrollBar();
        const int visible = viewport()->width() - 2 * documentMargin() - 1;
        if (x < horizontal->value())
            horizontal->setValue(x);
        else if (x > horizontal->value() + visible)
            horizontal->setValue(x - visible);
    }
}

void LongTextEdit::restartBlinking()
{
    m_caretVisible = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && !m_readOnly && flash >= 2)
        m_blinkTimer.start(flash / 2, this);
    else
        m_blinkTimer.stop();
}

void LongTextEdit::selectAll()
{
    m_mergeOpen = false;
    setCursorState(0, m_size);
}

// --- text --------------------------------------------------------------------

void LongTextEdit::setPlainText(const QString &text)
{
    setText(text, QByteArray(), QString());
}

void LongTextEdit::setPlainText(const QString &head, const QByteArray &latin1, const QString &tail)
{
    setText(head, latin1, tail);
}

void LongTextEdit::setText(const QString &head, const QByteArray &latin1, const QString &tail)
{
    const QString old = QAccessible::isActive() ? toPlainText() : QString();
    m_text = head;
    m_payload = latin1;
    m_tail = tail;
    m_pieces = !latin1.isEmpty() || !tail.isEmpty();
    if (!m_pieces)
        m_tail.clear();
    m_size = m_text.size() + m_payload.size() + m_tail.size();
    m_lineStarts.clear();
    m_lineStarts.append(0);
    for (int at = m_text.indexOf(QLatin1Char('\n')); at >= 0;
         at = m_text.indexOf(QLatin1Char('\n'), at + 1))
        m_lineStarts.append(at + 1);
    const int payloadStart = m_text.size();
    for (int at = m_payload.indexOf('\n'); at >= 0; at = m_payload.indexOf('\n', at + 1))
        m_lineStarts.append(payloadStart + at + 1);
    const int tailStart = payloadStart + m_payload.size();
    for (int at = m_tail.indexOf(QLatin1Char('\n')); at >= 0;
         at = m_tail.indexOf(QLatin1Char('\n'), at + 1))
        m_lineStarts.append(tailStart + at + 1);

    m_undo.clear();
    m_undoDone = 0;
    m_openGroup = -1;
    m_mergeOpen = false;
    m_preedit.clear();
    m_dropCaret = -1;
    m_desiredX = -1;
    m_selecting = m_dragPending = m_wordSelecting = false;

    resetLayout();
    const bool hadSelection = hasSelectedText();
    m_anchor = m_cursor = 0;
    m_cursorAtRowEnd = false;
    restartBlinking();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();

    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, old, toPlainText());
        QAccessible::updateAccessibility(&event);
    }
    emit cursorPositionChanged();
    if (hadSelection) {
        emit selectionChanged();
        emit copyAvailable(false);
    }
    emit textChanged();
    emitUndoState();
}

void LongTextEdit::appendPlainText(const QString &text)
{
    const QString added = (m_size == 0) ? text : QLatin1Char('\n') + text;
    QScrollBar *vertical = verticalScrollBar();
    const bool atBottom = vertical->value() == vertical->maximum();
    m_mergeOpen = false;
    edit(m_size, 0, added, OtherEdit, m_anchor, m_cursor, false);
    if (atBottom) {
        visualRowCount();
        updateScrollBars();
        vertical->setValue(vertical->maximum());
    }
}

void LongTextEdit::insertPlainText(const QString &text)
{
    m_mergeOpen = false;
    replaceSelection(text, OtherEdit);
}

void LongTextEdit::clear()
{
    setPlainText(QString());
}

void LongTextEdit::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    restartBlinking();
    viewport()->update();
}

void LongTextEdit::setLineWrapMode(LineWrapMode mode)
{
    if (m_wrapMode == mode)
        return;
    const int top = verticalScrollBar()->value();
    layoutRows(top + 1, -1, unlimited);
    const int anchor = rowStart(qBound(0, top, knownRowCount() - 1));
    m_wrapMode = mode;
    m_wrapWidth = wrapWidthFor(viewport()->width());
    resetLayout();
    const int newTop = rowOfPosition(anchor);
    updateScrollBars();
    verticalScrollBar()->setValue(newTop);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void LongTextEdit::setTabStopDistance(qreal distance)
{
    if (distance <= 0 || qFuzzyCompare(distance, m_tabStopDistance))
        return;
    m_tabStopDistance = distance;
    updateMetrics();
    relayoutKeepingTop();
}

// Replaces length characters at position by text as one undoable step and
// leaves anchor and cursor where given.
void LongTextEdit::edit(int position, int length, const QString &text, EditKind kind,
                        int anchorAfter, int cursorAfter, bool reveal)
{
    if (length == 0 && text.isEmpty()) {
        setCursorState(anchorAfter, cursorAfter);
        return;
    }
    const QString removed = textMid(position, length);
    if (m_undoDone < m_undo.size())
        m_undo.resize(m_undoDone);
    bool merged = false;
    if (m_mergeOpen && m_openGroup < 0 && !m_undo.isEmpty()) {
        Edit &last = m_undo.last();
        if (kind == Typing && last.kind == Typing && length == 0
            && position == last.position + last.inserted.size()) {
            last.inserted += text;
            merged = true;
        } else if (kind == DeletingBack && last.kind == DeletingBack && text.isEmpty()
                   && last.inserted.isEmpty() && position + length == last.position) {
            last.removed.prepend(removed);
            last.position = position;
            merged = true;
        } else if (kind == DeletingForward && last.kind == DeletingForward && text.isEmpty()
                   && last.inserted.isEmpty() && position == last.position) {
            last.removed += removed;
            merged = true;
        }
        if (merged) {
            last.anchorAfter = anchorAfter;
            last.cursorAfter = cursorAfter;
        }
    }
    if (!merged) {
        const int group = m_openGroup >= 0 ? m_openGroup : ++m_lastGroup;
        m_undo.append(Edit{position, removed, text, m_anchor, m_cursor, anchorAfter, cursorAfter,
                           group, kind});
        m_undoDone = m_undo.size();
    }

    applyChange(position, length, text);
    setCursorState(anchorAfter, cursorAfter);
    m_mergeOpen = kind != OtherEdit;
    m_desiredX = -1;
    emit textChanged();
    emitUndoState();
    if (reveal)
        ensureCursorVisible();
    else
        updateScrollBars();
}

// Changes the text and everything derived from it; no undo, no signals.
void LongTextEdit::applyChange(int position, int length, const QString &text)
{
    if (QAccessible::isActive() && length > 0) {
        QAccessibleTextRemoveEvent event(this, position, textMid(position, length));
        QAccessible::updateAccessibility(&event);
    }
    // The first edit takes a private copy of a shared text.
    if (m_pieces) {
        m_text = toPlainText();
        m_payload.clear();
        m_tail.clear();
        m_pieces = false;
    }
    m_text.replace(position, length, text);
    m_size = m_text.size();

    const auto first =
        std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), position) - m_lineStarts.cbegin();
    const auto last = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), position + length)
                      - m_lineStarts.cbegin();
    m_lineStarts.remove(int(first), int(last - first));
    const int delta = text.size() - length;
    for (int i = int(first); i < m_lineStarts.size(); ++i)
        m_lineStarts[i] += delta;
    QVector<int> added;
    for (int at = text.indexOf(QLatin1Char('\n')); at >= 0;
         at = text.indexOf(QLatin1Char('\n'), at + 1))
        added.append(position + at + 1);
    if (!added.isEmpty()) {
        m_lineStarts.insert(int(first), added.size(), 0);
        std::copy(added.cbegin(), added.cend(), m_lineStarts.begin() + first);
    }

    m_dropCaret = -1;
    invalidateFrom(position);
    viewport()->update();

    if (QAccessible::isActive() && !text.isEmpty()) {
        QAccessibleTextInsertEvent event(this, position, text);
        QAccessible::updateAccessibility(&event);
    }
}

void LongTextEdit::replaceSelection(const QString &text, EditKind kind)
{
    const int start = qMin(m_cursor, m_anchor);
    const int end = qMax(m_cursor, m_anchor);
    const int after = start + text.size();
    edit(start, end - start, text, kind, after, after);
}

void LongTextEdit::deleteBackward(bool word)
{
    if (hasSelectedText()) {
        m_mergeOpen = false;
        replaceSelection(QString(), OtherEdit);
        return;
    }
    if (m_cursor == 0)
        return;
    const int from = word ? previousWordPosition(m_cursor) : previousCharPosition(m_cursor);
    edit(from, m_cursor - from, QString(), DeletingBack, from, from);
}

void LongTextEdit::deleteForward(bool word)
{
    if (hasSelectedText()) {
        m_mergeOpen = false;
        replaceSelection(QString(), OtherEdit);
        return;
    }
    if (m_cursor >= m_size)
        return;
    const int to = word ? nextWordPosition(m_cursor) : nextCharPosition(m_cursor);
    edit(m_cursor, to - m_cursor, QString(), DeletingForward, m_cursor, m_cursor);
}

void LongTextEdit::emitUndoState()
{
    if (isUndoAvailable() != m_undoAvailableSent) {
        m_undoAvailableSent = isUndoAvailable();
        emit undoAvailable(m_undoAvailableSent);
    }
    if (isRedoAvailable() != m_redoAvailableSent) {
        m_redoAvailableSent = isRedoAvailable();
        emit redoAvailable(m_redoAvailableSent);
    }
}

void LongTextEdit::undo()
{
    if (m_undoDone == 0)
        return;
    const int group = m_undo.at(m_undoDone - 1).group;
    int anchor = m_anchor;
    int cursor = m_cursor;
    while (m_undoDone > 0 && m_undo.at(m_undoDone - 1).group == group) {
        const Edit step = m_undo.at(--m_undoDone);
        applyChange(step.position, step.inserted.size(), step.removed);
        anchor = step.anchorBefore;
        cursor = step.cursorBefore;
    }
    finishReplay(anchor, cursor);
}

void LongTextEdit::redo()
{
    if (m_undoDone >= m_undo.size())
        return;
    const int group = m_undo.at(m_undoDone).group;
    int anchor = m_anchor;
    int cursor = m_cursor;
    while (m_undoDone < m_undo.size() && m_undo.at(m_undoDone).group == group) {
        const Edit step = m_undo.at(m_undoDone++);
        applyChange(step.position, step.removed.size(), step.inserted);
        anchor = step.anchorAfter;
        cursor = step.cursorAfter;
    }
    finishReplay(anchor, cursor);
}

// After an undo or redo: a new edit starts a new group, and the selection
// the replayed edits left or found is restored.
void LongTextEdit::finishReplay(int anchor, int cursor)
{
    m_mergeOpen = false;
    m_desiredX = -1;
    setCursorState(anchor, cursor);
    emit textChanged();
    emitUndoState();
    ensureCursorVisible();
}

// --- clipboard ---------------------------------------------------------------

void LongTextEdit::copy()
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Clipboard);
}

void LongTextEdit::cut()
{
    if (m_readOnly || !hasSelectedText())
        return;
    copy();
    m_mergeOpen = false;
    replaceSelection(QString(), OtherEdit);
}

void LongTextEdit::paste()
{
    if (m_readOnly)
        return;
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (text.isEmpty())
        return;
    m_mergeOpen = false;
    replaceSelection(text, OtherEdit);
}

QMenu *LongTextEdit::createStandardContextMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const bool showShortcuts =
        !QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus);
    auto add = [&](const QString &text, const char *name, QKeySequence::StandardKey key,
                   bool enabled, auto slot) {
        QString label = text;
        const QKeySequence sequence(key);
        if (showShortcuts && !sequence.isEmpty())
            label += QLatin1Char('\t') + sequence.toString(QKeySequence::NativeText);
        QAction *action = menu->addAction(label);
        action->setObjectName(QLatin1String(name));
        action->setIcon(QIcon::fromTheme(QLatin1String(name)));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const bool selection = hasSelectedText();
    if (!m_readOnly) {
        add(tr("&Undo"), "edit-undo", QKeySequence::Undo, isUndoAvailable(), &LongTextEdit::undo);
        add(tr("&Redo"), "edit-redo", QKeySequence::Redo, isRedoAvailable(), &LongTextEdit::redo);
        menu->addSeparator();
        add(tr("Cu&t"), "edit-cut", QKeySequence::Cut, selection, &LongTextEdit::cut);
    }
    add(tr("&Copy"), "edit-copy", QKeySequence::Copy, selection, &LongTextEdit::copy);
    if (!m_readOnly) {
        const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
        add(tr("&Paste"), "edit-paste", QKeySequence::Paste, clip && clip->hasText(),
            &LongTextEdit::paste);
        add(tr("Delete"), "edit-delete", QKeySequence::UnknownKey, selection, [this] {
            m_mergeOpen = false;
            replaceSelection(QString(), OtherEdit);
        });
    }
    menu->addSeparator();
    add(tr("Select All"), "select-all", QKeySequence::SelectAll, !(m_size == 0),
        &LongTextEdit::selectAll);
    return menu;
}

QMenu *LongTextEdit::createStandardContextMenu(const QPoint &position)
{
    Q_UNUSED(position)
    return createStandardContextMenu();
}

// --- events ------------------------------------------------------------------

bool LongTextEdit::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // Tab inserts a tab here instead of moving the focus.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier && !m_readOnly) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Keys this editor handles win over application shortcuts.
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        bool ours = false;
        if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
            switch (key->key()) {
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Up:
            case Qt::Key_Down:
                ours = true;
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Delete:
            case Qt::Key_Backspace:
            case Qt::Key_Tab:
                ours = !m_readOnly;
                break;
            default:
                ours = !m_readOnly && key->key() < Qt::Key_Escape;
            }
        } else {
            static const QKeySequence::StandardKey always[] = {
                QKeySequence::Copy,           QKeySequence::SelectAll,
                QKeySequence::MoveToNextWord, QKeySequence::MoveToPreviousWord,
                QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord,
                QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument,
                QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument,
            };
            static const QKeySequence::StandardKey editing[] = {
                QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
                QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
            };
            for (const auto standard : always)
                ours = ours || key->matches(standard);
            for (const auto standard : editing)
                ours = ours || (!m_readOnly && key->matches(standard));
        }
        if (ours) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void LongTextEdit::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const qint64 width = wrapWidthFor(viewport()->width());
    if (m_wrapMode == WidgetWidth && width != m_wrapWidth) {
        m_wrapWidth = width;
        relayoutKeepingTop();
    } else {
        m_wrapWidth = width;
        updateScrollBars();
    }
}

void LongTextEdit::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    scheduleBackgroundLayout();
}

void LongTextEdit::scrollContentsBy(int dx, int dy)
{
    Q_UNUSED(dx)
    Q_UNUSED(dy)
    layoutRows(verticalScrollBar()->value() + pageRows() + 1, -1, unlimited);
    updateScrollBars();
    viewport()->update();
}

bool LongTextEdit::handleMoveKey(QKeyEvent *event)
{
    const bool hasSelection = hasSelectedText();
    const int selStart = qMin(m_cursor, m_anchor);
    const int selEnd = qMax(m_cursor, m_anchor);
    if (event->matches(QKeySequence::MoveToNextChar))
        moveCursorTo(hasSelection ? selEnd : nextCharPosition(m_cursor), false);
    else if (event->matches(QKeySequence::SelectNextChar))
        moveCursorTo(nextCharPosition(m_cursor), true);
    else if (event->matches(QKeySequence::MoveToPreviousChar))
        moveCursorTo(hasSelection ? selStart : previousCharPosition(m_cursor), false);
    else if (event->matches(QKeySequence::SelectPreviousChar))
        moveCursorTo(previousCharPosition(m_cursor), true);
    else if (event->matches(QKeySequence::MoveToNextWord))
        moveCursorTo(nextWordPosition(m_cursor), false);
    else if (event->matches(QKeySequence::SelectNextWord))
        moveCursorTo(nextWordPosition(m_cursor), true);
    else if (event->matches(QKeySequence::MoveToPreviousWord))
        moveCursorTo(previousWordPosition(m_cursor), false);
    else if (event->matches(QKeySequence::SelectPreviousWord))
        moveCursorTo(previousWordPosition(m_cursor), true);
    else if (event->matches(QKeySequence::MoveToStartOfLine))
        moveToRowEdge(false, false);
    else if (event->matches(QKeySequence::SelectStartOfLine))
        moveToRowEdge(false, true);
    else if (event->matches(QKeySequence::MoveToEndOfLine))
        moveToRowEdge(true, false);
    else if (event->matches(QKeySequence::SelectEndOfLine))
        moveToRowEdge(true, true);
    else if (event->matches(QKeySequence::MoveToStartOfBlock)
             || event->matches(QKeySequence::SelectStartOfBlock))
        moveCursorTo(m_lineStarts.at(lineIndexOf(m_cursor)),
                     event->matches(QKeySequence::SelectStartOfBlock));
    else if (event->matches(QKeySequence::MoveToEndOfBlock)
             || event->matches(QKeySequence::SelectEndOfBlock)) {
        const int line = lineIndexOf(m_cursor);
        const int end =
            line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) - 1 : m_size;
        moveCursorTo(end, event->matches(QKeySequence::SelectEndOfBlock));
    } else if (event->matches(QKeySequence::MoveToStartOfDocument))
        moveCursorTo(0, false);
    else if (event->matches(QKeySequence::SelectStartOfDocument))
        moveCursorTo(0, true);
    else if (event->matches(QKeySequence::MoveToEndOfDocument))
        moveCursorTo(m_size, false);
    else if (event->matches(QKeySequence::SelectEndOfDocument))
        moveCursorTo(m_size, true);
    else if (event->matches(QKeySequence::MoveToNextLine))
        moveVertically(1, false);
    else if (event->matches(QKeySequence::SelectNextLine))
        moveVertically(1, true);
    else if (event->matches(QKeySequence::MoveToPreviousLine))
        moveVertically(-1, false);
    else if (event->matches(QKeySequence::SelectPreviousLine))
        moveVertically(-1, true);
    else if (event->matches(QKeySequence::MoveToNextPage)
             || event->matches(QKeySequence::SelectNextPage)) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + pageRows());
        moveVertically(pageRows(), event->matches(QKeySequence::SelectNextPage));
    } else if (event->matches(QKeySequence::MoveToPreviousPage)
               || event->matches(QKeySequence::SelectPreviousPage)) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() - pageRows());
        moveVertically(-pageRows(), event->matches(QKeySequence::SelectPreviousPage));
    } else
        return false;
    return true;
}

bool LongTextEdit::handleEditKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo))
        redo();
    else if (event->matches(QKeySequence::Cut))
        cut();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else if (event->matches(QKeySequence::DeleteStartOfWord))
        deleteBackward(true);
    else if (event->matches(QKeySequence::DeleteEndOfWord))
        deleteForward(true);
    else if (event->matches(QKeySequence::Delete))
        deleteForward(false);
    else if (event->key() == Qt::Key_Backspace
             && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier))
        deleteBackward(false);
    else if (event->matches(QKeySequence::InsertParagraphSeparator)
             || event->matches(QKeySequence::InsertLineSeparator))
        replaceSelection(QStringLiteral("\n"), Typing);
    else if (event->key() == Qt::Key_Tab && modifiers == Qt::NoModifier)
        replaceSelection(QStringLiteral("\t"), Typing);
    else {
        const QString text = event->text();
        if (text.isEmpty())
            return false;
        const uint first = text.size() > 1 && text.at(0).isHighSurrogate()
                               ? QChar::surrogateToUcs4(text.at(0), text.at(1))
                               : text.at(0).unicode();
        if (!QChar::isPrint(first))
            return false;
        replaceSelection(text, Typing);
    }
    return true;
}

void LongTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else if (handleMoveKey(event))
        ;
    else if (m_readOnly || !handleEditKey(event)) {
        event->ignore();
        return;
    }
    event->accept();
}

void LongTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (m_readOnly) {
        event->ignore();
        return;
    }
    const QString commit = event->commitString();
    if (!commit.isEmpty() || event->replacementLength() > 0) {
        int start = qMin(m_cursor, m_anchor);
        int end = qMax(m_cursor, m_anchor);
        if (event->replacementLength() > 0 || event->replacementStart() != 0) {
            start = validPosition(m_cursor + event->replacementStart(), false);
            end = validPosition(start + event->replacementLength(), true);
        }
        const int after = start + commit.size();
        edit(start, end - start, commit, Typing, after, after);
    }
    m_preedit = event->preeditString();
    viewport()->update();
    event->accept();
}

QVariant LongTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Input methods see the cursor's line, cut to a window around the cursor.
    const int line = lineIndexOf(m_cursor);
    const int lineEnd =
        line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) - 1 : m_size;
    const int from = validPosition(qMax(m_lineStarts.at(line), m_cursor - surroundingChars), false);
    const int to = validPosition(qMin(lineEnd, m_cursor + surroundingChars), true);
    const QPoint offset = viewport()->geometry().topLeft();
    switch (query) {
    case Qt::ImEnabled:
        return !m_readOnly;
    case Qt::ImCursorRectangle:
        return cursorRect().translated(offset);
    case Qt::ImAnchorRectangle:
        return cursorRect(m_anchor).translated(offset);
    case Qt::ImFont:
        return m_layoutFont;
    case Qt::ImCursorPosition:
        return m_cursor - from;
    case Qt::ImAnchorPosition:
        return qBound(0, m_anchor - from, to - from);
    case Qt::ImSurroundingText:
        return textMid(from, to - from);
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImMaximumTextLength:
        return QVariant();
    case Qt::ImAbsolutePosition:
        return m_cursor;
    case Qt::ImTextBeforeCursor:
        return textMid(from, m_cursor - from);
    case Qt::ImTextAfterCursor:
        return textMid(m_cursor, to - m_cursor);
    case Qt::ImHints:
        return int(inputMethodHints());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void LongTextEdit::mousePressEvent(QMouseEvent *event)
{
    m_lastMousePos = event->pos();
    bool atRowEnd = false;
    const int position = hitTest(event->pos(), &atRowEnd, true);
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->pos();
        if (m_lastDoubleClick >= 0
            && qint64(event->timestamp()) - m_lastDoubleClick
                   < QApplication::doubleClickInterval()
            && (event->pos() - m_doubleClickPos).manhattanLength()
                   < QApplication::startDragDistance()) {
            // Third click: the whole line.
            m_lastDoubleClick = -1;
            const int line = lineIndexOf(position);
            const int end =
                line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) - 1 : m_size;
            m_mergeOpen = false;
            setCursorState(m_lineStarts.at(line), end);
            m_selecting = false;
            return;
        }
        m_lastDoubleClick = -1;
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        if (!shift && hasSelectedText()) {
            bool unused = false;
            const int index = hitTest(event->pos(), &unused, false);
            if (index >= qMin(m_cursor, m_anchor) && index < qMax(m_cursor, m_anchor)
                && position > qMin(m_cursor, m_anchor)) {
                m_dragPending = true;
                return;
            }
        }
        m_wordSelecting = false;
        moveCursorTo(position, shift, atRowEnd);
        m_selecting = true;
    } else if (event->button() == Qt::MiddleButton && !m_readOnly
               && QGuiApplication::clipboard()->supportsSelection()) {
        const QString text = QGuiApplication::clipboard()->text(QClipboard::Selection);
        if (!text.isEmpty()) {
            moveCursorTo(position, false, atRowEnd);
            replaceSelection(text, OtherEdit);
        }
    }
}

void LongTextEdit::mouseMoveEvent(QMouseEvent *event)
{
    m_lastMousePos = event->pos();
    if (m_dragPending) {
        if ((event->pos() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragPending = false;
            startDrag();
        }
        return;
    }
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    extendMouseSelection(event->pos());
    if (viewport()->rect().contains(event->pos()))
        m_autoScrollTimer.stop();
    else if (!m_autoScrollTimer.isActive())
        m_autoScrollTimer.start(50, this);
}

void LongTextEdit::extendMouseSelection(const QPoint &viewportPos)
{
    bool atRowEnd = false;
    const int position = hitTest(viewportPos, &atRowEnd, true);
    if (m_wordSelecting) {
        int start = 0;
        int end = 0;
        bool unused = false;
        wordAt(hitTest(viewportPos, &unused, false), &start, &end);
        if (position < m_wordStart)
            setCursorState(m_wordEnd, qMin(start, position));
        else
            setCursorState(m_wordStart, qMax(m_wordEnd, qMax(end, position)));
    } else {
        setCursorState(m_anchor, position, atRowEnd);
    }
    m_mergeOpen = false;
    m_desiredX = -1;
    ensureCursorVisible();
}

void LongTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    m_autoScrollTimer.stop();
    if (m_dragPending) {
        m_dragPending = false;
        bool atRowEnd = false;
        moveCursorTo(hitTest(event->pos(), &atRowEnd, true), false, atRowEnd);
    }
    if (m_selecting && hasSelectedText() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
    m_selecting = false;
}

void LongTextEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    bool unused = false;
    int start = 0;
    int end = 0;
    wordAt(hitTest(event->pos(), &unused, false), &start, &end);
    m_mergeOpen = false;
    m_desiredX = -1;
    setCursorState(start, end);
    m_wordSelecting = true;
    m_wordStart = start;
    m_wordEnd = end;
    m_selecting = true;
    m_dragPending = false;
    m_lastDoubleClick = qint64(event->timestamp());
    m_doubleClickPos = event->pos();
}

void LongTextEdit::startDrag()
{
    const int start = qMin(m_cursor, m_anchor);
    const int end = qMax(m_cursor, m_anchor);
    auto *mime = new QMimeData;
    mime->setText(selectedText());
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    m_dragMovedInside = false;
    const Qt::DropActions actions =
        m_readOnly ? Qt::CopyAction : Qt::DropActions(Qt::CopyAction | Qt::MoveAction);
    const Qt::DropAction done = drag->exec(actions, m_readOnly ? Qt::CopyAction : Qt::MoveAction);
    if (done == Qt::MoveAction && !m_dragMovedInside && !m_readOnly && end <= m_size) {
        m_mergeOpen = false;
        edit(start, end - start, QString(), OtherEdit, start, start);
    }
}

// Plain text is taken; a drag that carries addresses (files from a file
// manager, links) is not, though it has a text form: spliced into the text it
// would corrupt it.
bool LongTextEdit::takesDrop(const QMimeData *mime) const
{
    return !m_readOnly && mime && mime->hasText() && !mime->hasUrls();
}

void LongTextEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (!takesDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void LongTextEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (!takesDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    bool atRowEnd = false;
    m_dropCaret = hitTest(event->pos(), &atRowEnd, true);
    viewport()->update();
    event->acceptProposedAction();
}

void LongTextEdit::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_dropCaret = -1;
    viewport()->update();
    event->accept();
}

void LongTextEdit::dropEvent(QDropEvent *event)
{
    m_dropCaret = -1;
    viewport()->update();
    if (!takesDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    bool atRowEnd = false;
    const int position = hitTest(event->pos(), &atRowEnd, true);
    const QString text = event->mimeData()->text();
    const int start = qMin(m_cursor, m_anchor);
    const int end = qMax(m_cursor, m_anchor);
    m_mergeOpen = false;
    if (event->source() == this && event->dropAction() == Qt::MoveAction && start != end) {
        // Moving the selection within this editor: one undo step.
        if (position >= start && position <= end) {
            event->ignore();
            return;
        }
        m_openGroup = ++m_lastGroup;
        edit(start, end - start, QString(), OtherEdit, start, start);
        const int at = position > end ? position - (end - start) : position;
        edit(at, 0, text, OtherEdit, at, at + text.size());
        m_openGroup = -1;
        m_dragMovedInside = true;
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        edit(position, 0, text, OtherEdit, position, position + text.size());
        event->acceptProposedAction();
    }
    setFocus(Qt::MouseFocusReason);
}

void LongTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QPoint global = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard)
        global = viewport()->mapToGlobal(cursorRect().bottomLeft());
    menu->popup(global);
}

void LongTextEdit::focusInEvent(QFocusEvent *event)
{
    restartBlinking();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void LongTextEdit::focusOutEvent(QFocusEvent *event)
{
    m_blinkTimer.stop();
    m_caretVisible = false;
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void LongTextEdit::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        updateMetrics();
        relayoutKeepingTop();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
        viewport()->update();
        break;
    default:
        break;
    }
}

void LongTextEdit::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretVisible = !m_caretVisible;
        viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
    } else if (event->timerId() == m_layoutTimer.timerId()) {
        if (!isVisible()) {
            m_layoutTimer.stop();
            return;
        }
        QElapsedTimer clock;
        clock.start();
        bool done = false;
        do {
            if (m_wrapMode == WidgetWidth) {
                layoutRows(INT_MAX, INT_MAX, sliceChars);
                done = m_rowsComplete;
            } else {
                measureLines(sliceChars);
                done = m_widthsUnknown == 0;
            }
        } while (!done && clock.elapsed() < sliceMs);
        if (done)
            m_layoutTimer.stop();
        updateScrollBars();
    } else if (event->timerId() == m_autoScrollTimer.timerId()) {
        extendMouseSelection(m_lastMousePos);
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}
