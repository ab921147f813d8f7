#include "csvmodel.h"

#include "filehelpers.h"

#include <QSaveFile>
#include <QSize>
#include <QTextStream>

#include <algorithm>

namespace {

// Records end with the platform's line end; cells keep theirs as they are.
#ifdef Q_OS_WIN
const char *const kLineEnd = "\r\n";
#else
const char *const kLineEnd = "\n";
#endif

// The largest file load reads: a table costs up to some 45 bytes of memory
// for each byte of text (many rows of empty cells).
const qint64 kMaxFileBytes = 16 * 1024 * 1024;

// Up to this many rows are inserted one by one, each for what a list insert
// costs; more go in as one block, for one pass over the table.
const int kSmallInsert = 64;

enum class Scan { FieldStart, InField, AfterQuote, Broken };

// Reads text in the written form: every field between double quotes, a doubled
// quote inside a field standing for one, fields joined by a comma. Continues
// from state; the field being read collects in *field, closed ones in *fields.
// Broken as soon as the text leaves that form.
Scan scanWritten(const QString &text, Scan state, QString *field, QStringList *fields)
{
    const QChar quote = QLatin1Char('"');
    for (const QChar c : text) {
        switch (state) {
        case Scan::FieldStart:
            if (c != quote)
                return Scan::Broken;
            state = Scan::InField;
            break;
        case Scan::InField:
            if (c == quote)
                state = Scan::AfterQuote;
            else
                field->append(c);
            break;
        case Scan::AfterQuote:
            if (c == quote) {
                field->append(quote); // doubled quote
                state = Scan::InField;
            } else if (c == QLatin1Char(',')) {
                fields->append(*field);
                field->clear();
                state = Scan::FieldStart;
            } else {
                return Scan::Broken;
            }
            break;
        case Scan::Broken:
            return state;
        }
    }
    return state;
}

} // namespace

namespace MTools {

CsvModel::CsvModel(QObject *parent)
    : QAbstractTableModel(parent), m_rows(new QList<QStringList>)
{
}

CsvModel::~CsvModel()
{
    delete m_rows;
}

int CsvModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || m_rows->isEmpty())
        return 0;
    return m_rows->size() - 1;
}

int CsvModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || m_rows->isEmpty())
        return 0;
    return m_rows->first().size();
}

bool CsvModel::hasChildren(const QModelIndex &parent) const
{
    return !parent.isValid();
}

QVariant CsvModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || m_rows->isEmpty() || index.row() < 0 || index.row() + 1 >= m_rows->size())
        return QVariant();
    const QStringList &row = m_rows->at(index.row() + 1);
    switch (role) {
    case Qt::SizeHintRole:
        return QSize(30, 12);
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() < 0 || index.column() >= row.size())
            return QVariant();
        return row.at(index.column());
    case Qt::ToolTipRole: {
        QString tip = QStringLiteral("<table>");
        for (int i = 0; i < row.size(); ++i) {
            if (row.at(i).isEmpty())
                continue;
            tip += QStringLiteral("<tr><td><b>%1</b>: %2</td></tr>")
                       .arg(headerData(i, Qt::Horizontal, Qt::DisplayRole).toString().toHtmlEscaped(),
                            row.at(i).toHtmlEscaped());
        }
        tip += QStringLiteral("</table>");
        return tip;
    }
    default:
        return QVariant();
    }
}

bool CsvModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    if (index.row() < 0 || index.row() + 1 >= m_rows->size() || index.column() < 0)
        return false;
    QStringList &row = (*m_rows)[index.row() + 1];
    // A short row grows to reach the edited column.
    while (row.size() <= index.column())
        row.append(QString());
    row[index.column()] = value.toString();
    emit dataChanged(index, index);
    return true;
}

QVariant CsvModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (m_rows->isEmpty())
        return QVariant();
    if (role == Qt::DisplayRole) {
        if (orientation == Qt::Horizontal) {
            const QStringList &header = m_rows->first();
            if (section < 0 || section >= header.size())
                return QVariant();
            return header.at(section);
        }
        return section + 1;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool CsvModel::insertRows(int row, int count, const QModelIndex &parent)
{
    // Without a header row there is nothing to insert rows under.
    if (parent.isValid() || m_rows->isEmpty() || count < 1 || row < 0 || row > rowCount())
        return false;
    // At most 2^27 rows (1 GiB of row pointers on 64-bit systems, half of what
    // the list can address): a larger count is refused rather than
    // overflowing the row numbers or the allocation.
    const int maxRows = 1 << 27;
    if (count > maxRows - m_rows->size())
        return false;
    QStringList blank;
    for (int i = 0; i < columnCount(); ++i)
        blank.append(QString());
    beginInsertRows(QModelIndex(), row, row + count - 1);
    const int at = row + 1;
    if (count <= kSmallInsert) {
        // One row at a time, moving the shorter side of the list: a row near
        // the top is prepended and moved down past the rows above it (a plain
        // insert there would shift every row below).
        for (int i = 0; i < count; ++i) {
            if (at <= m_rows->size() - at) {
                m_rows->prepend(blank);
                m_rows->move(0, at);
            } else {
                m_rows->insert(at, blank);
            }
        }
    } else {
        // Appended as one block and rotated into place: linear in the
        // table's size, whatever the count.
        m_rows->reserve(m_rows->size() + count);
        for (int i = 0; i < count; ++i)
            m_rows->append(blank);
        std::rotate(m_rows->begin() + at, m_rows->end() - count, m_rows->end());
    }
    endInsertRows();
    return true;
}

bool CsvModel::removeRows(int row, int count, const QModelIndex &parent)
{
    // Compared without forming row + count, which may overflow.
    if (parent.isValid() || row < 0 || count < 1 || row >= m_rows->size() || count >= m_rows->size() - row)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows->erase(m_rows->begin() + row + 1, m_rows->begin() + row + 1 + count);
    endRemoveRows();
    return true;
}

Qt::ItemFlags CsvModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || m_rows->isEmpty())
        return Qt::NoItemFlags;
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool CsvModel::load(const QString &filePath)
{
    // Only a regular file of table size is read, whole, before the table
    // changes: anything else leaves the table as it is. Read without
    // text-mode translation, so carriage returns inside cells stay; a line
    // ends with a line feed, a carriage return and a line feed, or a carriage
    // return alone. Inside a quoted cell the line end found is put back.
    QByteArray bytes;
    if (!readRegularFile(filePath, kMaxFileBytes, &bytes))
        return false;
    QTextStream in(bytes);
    const QString text = in.readAll();
    const bool ok = in.status() == QTextStream::Ok;
    const QString lf = QStringLiteral("\n");
    const QString cr = QStringLiteral("\r");
    const QString crlf = QStringLiteral("\r\n");
    QStringList lines;
    QStringList ends;
    int from = 0;
    for (int at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(text.mid(from, at - from));
        if (c == QLatin1Char('\r') && at + 1 < text.size() && text.at(at + 1) == QLatin1Char('\n')) {
            ends.append(crlf);
            ++at;
        } else {
            ends.append(c == QLatin1Char('\r') ? cr : lf);
        }
        from = at + 1;
    }
    if (from < text.size()) { // a last line without a line end
        lines.append(text.mid(from));
        ends.append(lf);
    }

    beginResetModel();
    m_rows->clear();
    for (int i = 0; i < lines.size(); ++i) {
        QString field;
        QStringList fields;
        Scan state = scanWritten(lines.at(i), Scan::FieldStart, &field, &fields);
        // A field still open at the line end holds that line end when the
        // lines that follow close the record in the written form; otherwise
        // the line stands alone. A line read as the continuation of an open
        // field, read again from its start, never leaves a field open (the two
        // readings stay one quote apart), so no line is read as a continuation
        // twice and the load stays linear in the file's size.
        int last = i;
        while (state == Scan::InField && last + 1 < lines.size()) {
            field += ends.at(last);
            state = scanWritten(lines.at(++last), state, &field, &fields);
        }
        if (state == Scan::AfterQuote) {
            fields.append(field);
            m_rows->append(fields);
            i = last;
        } else {
            m_rows->append(parsePlain(lines.at(i)));
        }
    }
    endResetModel();
    return ok;
}

bool CsvModel::save(const QString &filePath) const
{
    // Written beside the target and renamed over it at the end, so a failed
    // write never leaves a truncated table behind. No text-mode translation:
    // cells are written as they are.
    if (!isSaveTarget(filePath))
        return false;
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    for (const QStringList &row : qAsConst(*m_rows))
        out << quoted(row) << kLineEnd;
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

QStringList CsvModel::parseLine(const QString &line)
{
    QString field;
    QStringList fields;
    if (scanWritten(line, Scan::FieldStart, &field, &fields) != Scan::AfterQuote)
        return parsePlain(line);
    fields.append(field);
    return fields;
}

QStringList CsvModel::parsePlain(const QString &line)
{
    QStringList fields;
    QString field;
    bool inside = false;
    for (const QChar c : line) {
        if (c == QLatin1Char('"')) {
            if (inside) {
                fields.append(field);
                field.clear();
            }
            inside = !inside;
        } else if (inside) {
            field += c;
        }
    }
    return fields;
}

QString CsvModel::quoted(const QStringList &fields)
{
    QStringList escaped;
    escaped.reserve(fields.size());
    for (const QString &f : fields) {
        QString e = f;
        escaped.append(e.replace(QLatin1String("\""), QLatin1String("\"\"")));
    }
    return QLatin1Char('"') + escaped.join(QLatin1String("\",\"")) + QLatin1Char('"');
}

} // namespace MTools
