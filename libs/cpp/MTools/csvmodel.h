#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace MTools {

// A table read from a quoted CSV text file. List row 0 is the header; data row
// r of the model is list row r + 1. Rows may be shorter than the header; the
// column count is the header's length.
//
// File format: one row per line, every field between double quotes, fields
// joined by a comma. A double quote inside a field is written doubled, and a
// field may span lines (its line breaks are kept inside the quotes). A row ends
// with the platform's line end; a line feed, a carriage return and a line
// feed, or a carriage return alone is read as one, and cells keep every
// character, carriage returns included. Lines that
// do not follow this form (a lone quote inside a cell, text between fields)
// read one record per line: the text between each pair of quotes is a field
// and a field still open at the end of the line is dropped.
class CsvModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CsvModel(QObject *parent = nullptr);
    ~CsvModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Replaces the table with the file's rows. False, with the table kept,
    // when the file cannot be read or is no regular file of at most 16 MiB
    // (a FIFO or device is not opened); false too when the text stream
    // reports an error.
    bool load(const QString &filePath);

    // Writes header and rows. The file is replaced only when everything was
    // written; on failure the old file stays as it was and the result is false.
    // A folder, device or pipe under the name is refused, never replaced.
    bool save(const QString &filePath) const;

    // The quoted fields of one line; text outside quotes is ignored and a field
    // still open at the end of the line is dropped.
    static QStringList parseLine(const QString &line);

private:
    // Every pair of quotes delimits a field; a doubled quote ends one field
    // and opens the next.
    static QStringList parsePlain(const QString &line);
    static QString quoted(const QStringList &fields);

    QList<QStringList> *m_rows;
};

} // namespace MTools
