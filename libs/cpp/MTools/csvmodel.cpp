#include "csvmodel.h"

#include <QFile>
#include <QSaveFile>
#include <QSize>
#include <QTextStream>

#include <climits>

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
    // The list cannot hold more rows than this; past it the count is refused
    // rather than overflowing the row numbers or the allocation.
    const int maxRows = INT_MAX / int(sizeof(void *));
    if (count > maxRows - m_rows->size())
        return false;
    QStringList blank;
    for (int i = 0; i < columnCount(); ++i)
        blank.append(QString());
    beginInsertRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        m_rows->insert(row + 1, blank);
    endInsertRows();
    return true;
}

bool CsvModel::removeRows(int row, int count, const QModelIndex &parent)
{
    // Compared without forming row + count, which may overflow.
    if (parent.isValid() || row < 0 || count < 1 || row >= m_rows->size() || count >= m_rows->size() - row)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        m_rows->removeAt(row + 1);
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
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    QStringList lines;
    while (!in.atEnd())
        lines.append(in.readLine());
    beginResetModel();
    m_rows->clear();
    for (int i = 0; i < lines.size(); ++i) {
        bool continues = false;
        QStringList fields = parseRecord(lines.at(i), &continues);
        if (continues) {
            // A field opened at a field start and still open at the line end
            // holds a line break, when the lines that follow close the record
            // in the written form; otherwise the line stands alone.
            QString record = lines.at(i);
            int last = i;
            while (continues && last + 1 < lines.size()) {
                record += QLatin1Char('\n') + lines.at(++last);
                fields = parseRecord(record, &continues);
            }
            if (!continues && quoted(fields) == record) {
                m_rows->append(fields);
                i = last;
                continue;
            }
        }
        m_rows->append(parseLine(lines.at(i)));
    }
    const bool ok = in.status() == QTextStream::Ok;
    file.close();
    endResetModel();
    return ok;
}

bool CsvModel::save(const QString &filePath) const
{
    // Written beside the target and renamed over it at the end, so a failed
    // write never leaves a truncated table behind.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (const QStringList &row : qAsConst(*m_rows))
        out << quoted(row) << '\n';
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
    bool continues = false;
    const QStringList fields = parseRecord(line, &continues);
    if (!continues && !line.isEmpty() && quoted(fields) == line)
        return fields;
    return parsePlain(line);
}

QStringList CsvModel::parseRecord(const QString &text, bool *continues)
{
    QStringList fields;
    QString field;
    bool inside = false;
    bool atFieldStart = false;
    const QChar quote = QLatin1Char('"');
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == quote) {
            if (inside && i + 1 < text.size() && text.at(i + 1) == quote) {
                field += quote; // doubled quote inside a field
                ++i;
            } else if (inside) {
                fields.append(field);
                field.clear();
                inside = false;
            } else {
                inside = true;
                atFieldStart = i == 0 || text.at(i - 1) == QLatin1Char(',');
            }
        } else if (inside) {
            field += c;
        }
    }
    *continues = inside && atFieldStart;
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
