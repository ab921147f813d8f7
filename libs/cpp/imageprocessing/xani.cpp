#include "xani.h"

#include "filehelpers.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QMessageLogger>
#include <QSaveFile>

#include <limits>

namespace MGraphX {

namespace {

const int TimerPeriod = 1000;

// Fixed layout of the container: magic word, 16-byte length field.
const int MagicSize = 4;
const int LengthFieldSize = 16;
const int BlockHeadSize = MagicSize + LengthFieldSize;
const qint64 DataOffset = 2 * BlockHeadSize;       // 40
const qint64 FixedSize = 3 * BlockHeadSize;        // 60

const char HeadText[] =
    "<Xani loop = \"<!LOOP!>\" frameduration=\"<!FRAMEDURATION!>\" framecount=\"<!FRAMECOUNT!>\">\n"
    "<!CONTENT!></Xani>";

const char FrameText[] =
    "<Image index=\"<!INDEX!>\" name=\"<!NAME!>\" format=\"<!FORMAT!>\" duration=\"<!DIRATION!>\" "
    "background=\"<!BACKGROUND!>\">\n"
    "  <data start=\"<!START!>\" size=\"<!SIZE!>\"/>\n"
    "</Image>\n";

// The length in lower-case hexadecimal, left-aligned, blank-filled to 16 bytes.
QByteArray lengthField(qint64 length)
{
    return QByteArray::number(length, 16).leftJustified(LengthFieldSize, ' ');
}

// Reads a length field: hexadecimal digits with blanks around them, cut at
// the first zero byte. Anything else (empty, signs, prefixes, other
// characters, a value beyond 64 bits) is rejected.
bool parseLengthField(const QByteArray &field, qint64 *length, QString *text)
{
    QByteArray digits = field;
    const int zero = digits.indexOf('\0');
    if (zero >= 0)
        digits.truncate(zero);
    digits.replace(' ', QByteArray());
    *text = QString::fromLatin1(digits);
    if (digits.isEmpty())
        return false;
    for (const char c : qAsConst(digits)) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex)
            return false;
    }
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok, 16);
    if (!ok || value < 0)
        return false;
    *length = value;
    return true;
}

// The picture encoded in the frame's format into *bytes; a null picture has
// nothing to store and takes no bytes. False, with the writer's reason in
// *reason, when a picture cannot be encoded in that format.
bool encodeFrame(const XaniFrame &frame, int quality, QByteArray *bytes, QString *reason)
{
    bytes->clear();
    if (frame.image().isNull())
        return true;
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, frame.format().toLatin1());
    writer.setQuality(quality);
    if (!writer.write(frame.image())) {
        *reason = writer.errorString();
        bytes->clear();
        return false;
    }
    return true;
}

bool writeAll(QIODevice *device, const QByteArray &bytes)
{
    return device->write(bytes) == bytes.size();
}

// A value for a double-quoted attribute of the index. The index stays ASCII:
// markup characters become entities, tab, line feed and carriage return and
// everything beyond ASCII become character references, so any name reads back
// exactly. False when the text holds a character that XML cannot carry
// (other control characters, unpaired surrogates, U+FFFE, U+FFFF).
bool attributeText(const QString &value, QString *out)
{
    out->clear();
    for (int i = 0; i < value.size(); ++i) {
        uint c = value.at(i).unicode();
        if (value.at(i).isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(value.at(i), value.at(i + 1));
            ++i;
        } else if (value.at(i).isSurrogate()) {
            return false;
        }
        if (c == 0xfffe || c == 0xffff || (c < 0x20 && c != '\t' && c != '\n' && c != '\r'))
            return false;
        if (c == '&')
            *out += QLatin1String("&amp;");
        else if (c == '<')
            *out += QLatin1String("&lt;");
        else if (c == '>')
            *out += QLatin1String("&gt;");
        else if (c == '"')
            *out += QLatin1String("&quot;");
        else if (c < 0x20 || c > 0x7e)
            *out += QLatin1String("&#") + QString::number(c) + QLatin1Char(';');
        else
            *out += QChar(ushort(c));
    }
    return true;
}

// text with every "<!NAME!>" mark replaced by values[NAME] in one pass, so an
// inserted value is never taken for a mark. Marks without a value stay.
QString substituted(const QString &text, const QHash<QString, QString> &values)
{
    QString out;
    int from = 0;
    for (;;) {
        const int open = text.indexOf(QLatin1String("<!"), from);
        const int close = open < 0 ? -1 : text.indexOf(QLatin1String("!>"), open + 2);
        if (close < 0)
            break;
        const QString key = text.mid(open + 2, close - open - 2);
        const auto found = values.constFind(key);
        out += text.midRef(from, open - from);
        if (found == values.constEnd()) {
            out += text.midRef(open, 2);
            from = open + 2;
            continue;
        }
        out += found.value();
        from = close + 2;
    }
    out += text.midRef(from);
    return out;
}

} // namespace

Xani::Xani(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(nextFrame()));
}

Xani::Xani(const Xani &other)
    : QObject(nullptr)
    , QImage()
    , m_loop(other.m_loop)
    , m_frameDuration(other.m_frameDuration)
    , m_frames(other.m_frames)
{
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(nextFrame()));
}

Xani &Xani::operator=(const Xani &other)
{
    m_loop = other.m_loop;
    m_frameDuration = other.m_frameDuration;
    m_frames = other.m_frames;
    return *this;
}

Xani::~Xani() = default;

int Xani::frameCount() const
{
    return m_frames.size();
}

XaniFrame Xani::frame(int i) const
{
    if (i < 0 || i >= m_frames.size())
        return XaniFrame();
    return m_frames.at(i);
}

int Xani::addFrame(const XaniFrame &frame)
{
    m_frames.append(frame);
    return m_frames.size();
}

void Xani::setFrame(int i, const XaniFrame &frame)
{
    if (i < 0 || i >= m_frames.size())
        return;
    m_frames[i] = frame;
}

void Xani::clear()
{
    m_frames.clear();
}

void Xani::start()
{
    m_timer.setSingleShot(false);
    m_timer.setInterval(TimerPeriod);
    m_timer.start();
}

void Xani::stop()
{
    m_timer.stop();
}

void Xani::nextFrame()
{
    if (m_frames.isEmpty()) {
        m_timer.stop();
        return;
    }
    if (m_index < 0 || m_index >= m_frames.size())
        m_index = 0;
    const int shown = m_index;
    ++m_index;
    setCurrentIndex(shown);
}

void Xani::setCurrentIndex(int i)
{
    static_cast<QImage &>(*this) = frame(i).image();
    emit frameChanged();
}

bool Xani::save(const QString &fileName, int quality, QString *error)
{
    if (!MTools::isSaveTarget(fileName, error))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // The device buffers writes: a failure may show only at the flush, and
    // commit does not report a short flush on its own.
    QString reason;
    if (!save(&file, quality, &reason) || !file.flush() || file.error() != QFileDevice::NoError) {
        if (error)
            *error = reason.isEmpty() ? file.errorString() : reason;
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool Xani::save(QIODevice *device, int quality, QString *error) const
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!device || !device->isWritable())
        return fail(tr("The animation has nowhere to be written."));

    // Encode every frame first: the header needs the total lengths, and a
    // frame that cannot be stored fails the save before anything is written.
    QVector<QByteArray> encoded;
    encoded.reserve(m_frames.size());
    QString content;
    qint64 dataLength = 0;
    for (int i = 0; i < m_frames.size(); ++i) {
        const XaniFrame &f = m_frames.at(i);
        QByteArray bytes;
        QString reason;
        if (!encodeFrame(f, quality, &bytes, &reason))
            return fail(tr("Frame %1 (\"%2\") cannot be encoded as \"%3\": %4")
                            .arg(i)
                            .arg(f.name(), f.format(), reason));
        QString name, format;
        if (!attributeText(f.name(), &name) || !attributeText(f.format(), &format))
            return fail(tr("The name or format of frame %1 holds a character the index cannot carry.")
                            .arg(i));
        content += substituted(QString::fromLatin1(FrameText),
                               {{QStringLiteral("INDEX"), QString::number(i)},
                                {QStringLiteral("NAME"), name},
                                {QStringLiteral("FORMAT"), format},
                                {QStringLiteral("DIRATION"), QString::number(f.duration())},
                                {QStringLiteral("BACKGROUND"),
                                 f.background() ? QStringLiteral("true") : QStringLiteral("false")},
                                {QStringLiteral("START"), QString::number(DataOffset + dataLength)},
                                {QStringLiteral("SIZE"), QString::number(bytes.size())}});
        dataLength += bytes.size();
        encoded.append(bytes);
    }

    const QString index = substituted(QString::fromLatin1(HeadText),
                                      {{QStringLiteral("LOOP"), QString::number(m_loop)},
                                       {QStringLiteral("FRAMEDURATION"), QString::number(m_frameDuration)},
                                       {QStringLiteral("FRAMECOUNT"), QString::number(m_frames.size())},
                                       {QStringLiteral("CONTENT"), content}});
    const QByteArray indexBytes = index.toLatin1(); // ASCII, see attributeText

    // The total length is a 32-bit signed value in the format; a larger
    // animation cannot be stored without a wrong header.
    const qint64 total = FixedSize + dataLength + indexBytes.size();
    if (total > std::numeric_limits<qint32>::max())
        return fail(tr("The animation is too large for its file format."));

    bool written = writeAll(device, QByteArray("XANI") + lengthField(total))
                   && writeAll(device, QByteArray("BIND") + lengthField(dataLength));
    for (int i = 0; written && i < encoded.size(); ++i)
        written = writeAll(device, encoded.at(i));
    written = written && writeAll(device, QByteArray("XMLD") + lengthField(indexBytes.size()))
              && writeAll(device, indexBytes);
    // A file device buffers: a write that fails at the flush fails the save.
    auto *file = qobject_cast<QFileDevice *>(device);
    if (written && file)
        written = file->flush() && file->error() == QFileDevice::NoError;
    return written || fail(device->errorString());
}

bool Xani::load(const QString &fileName)
{
    m_fileName = fileName;
    // Only regular files: opening a FIFO or a device could block or never
    // end, also one swapped in under the name after it was looked at.
    QFile file;
    if (!QFileInfo(fileName).isFile() || !MTools::openResourceOrRegularFile(fileName, &file))
        return false;

    // Every length is checked against the real file size before it is used,
    // so a forged field can neither seek nor allocate beyond the file.
    const qint64 fileSize = file.size();
    if (fileSize < FixedSize)
        return false;
    const QByteArray head = file.read(DataOffset);
    if (head.size() != DataOffset || !head.startsWith("XANI") || head.mid(BlockHeadSize, MagicSize) != "BIND")
        return false;

    qint64 total = 0;
    qint64 dataLength = 0;
    QString ignored;
    if (!parseLengthField(head.mid(MagicSize, LengthFieldSize), &total, &ignored)
        || !parseLengthField(head.mid(BlockHeadSize + MagicSize, LengthFieldSize), &dataLength, &ignored)
        || dataLength > fileSize - FixedSize)
        return false;

    if (!file.seek(DataOffset + dataLength))
        return false;
    const QByteArray indexHead = file.read(BlockHeadSize);
    if (indexHead.size() != BlockHeadSize || !indexHead.startsWith("XMLD"))
        return false;
    qint64 indexLength = 0;
    QString indexLengthText;
    if (!parseLengthField(indexHead.mid(MagicSize), &indexLength, &indexLengthText)
        || indexLength > fileSize - FixedSize - dataLength
        || total != FixedSize + dataLength + indexLength || total != fileSize)
        return false;

    const QByteArray indexBytes = file.read(indexLength);
    if (indexBytes.size() != indexLength)
        return false;
    file.close();

    QByteArray text = indexBytes;
    const int zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);

    QMessageLogger logger;
    logger.debug().noquote().nospace() << "XXXX:" << indexLengthText;
    logger.debug().noquote().nospace() << "XXXX:" << indexLength;
    logger.debug().noquote().nospace() << "$$$$$$$$$$$$$$" << QString::fromLatin1(text);
    return true;
}

} // namespace MGraphX
