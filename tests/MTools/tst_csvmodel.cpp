#include "testmain.h"
#include "csvmodel.h"
#include "fifo.h"
#include "filehelpers.h"
#include "filesizelimit.h"
#include "fifowatch.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using MTools::CsvModel;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Holds a write lease on a file, as another program may: anyone else's open
// of the file then waits until the holder lets go (or the kernel's lease
// break time has passed) unless it asks not to wait. The break notice the
// holder would get is ignored meanwhile.
class LeaseHolder
{
public:
    explicit LeaseHolder(const QString &path)
        : m_oldHandler(std::signal(SIGIO, SIG_IGN))
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
        if (m_fd >= 0 && ::fcntl(m_fd, F_SETLEASE, F_WRLCK) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LeaseHolder()
    {
        if (m_fd >= 0) {
            ::fcntl(m_fd, F_SETLEASE, F_UNLCK);
            ::close(m_fd);
        }
        std::signal(SIGIO, m_oldHandler);
    }
    LeaseHolder(const LeaseHolder &) = delete;
    LeaseHolder &operator=(const LeaseHolder &) = delete;

    bool isValid() const { return m_fd >= 0; }

private:
    void (*m_oldHandler)(int);
    int m_fd = -1;
};

// A file of the given size: the bytes, then a hole of zero bytes.
bool writeSparseFile(const QString &path, const QByteArray &bytes, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size()
        && f.resize(size);
}

} // namespace

class TestCsvModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void parsesLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("plain") << "\"a\",\"b\"" << QStringList{"a", "b"};
        QTest::newRow("unquoted text dropped") << "\"a\",\"b\",c,\"d\"" << QStringList{"a", "b", "d"};
        QTest::newRow("unclosed last field dropped") << "\"a\",\"b" << QStringList{"a"};
        QTest::newRow("empty line") << "" << QStringList();
        QTest::newRow("empty fields") << "\"\",\"x\",\"\"" << QStringList{"", "x", ""};
        QTest::newRow("comma and blanks inside") << "\"a, b \" , \"c\"" << QStringList{"a, b ", "c"};
        QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",\"x\"" << QStringList{"say \"hi\"", "x"};
    }
    void parsesLines()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(CsvModel::parseLine(line), fields);
    }

    void saveAndLoadRoundTrip()
    {
        // arrange
        const QString file = path("round.csv");
        QVERIFY(writeFile(file, "\"Name\",\"Note\",\"City\"\n\"Ann\",\"\",\"Oslo\"\n\"Bob\",\"x\"\n"));
        CsvModel model;
        QVERIFY(model.load(file));
        QVERIFY(model.setData(model.index(0, 1), "says \"hi\", then\nleaves"));
        QVERIFY(model.setData(model.index(1, 2), "Rome")); // row was one field short
        // act
        QVERIFY(model.save(file));
        CsvModel again;
        QVERIFY(again.load(file));
        // assert
        QCOMPARE(again.rowCount(), 2);
        QCOMPARE(again.columnCount(), 3);
        QCOMPARE(again.headerData(2, Qt::Horizontal).toString(), QString("City"));
        QCOMPARE(again.data(again.index(0, 1)).toString(), QString("says \"hi\", then\nleaves"));
        QCOMPARE(again.data(again.index(0, 2)).toString(), QString("Oslo"));
        QCOMPARE(again.data(again.index(1, 2)).toString(), QString("Rome"));
    }

    void writesEveryFieldQuoted()
    {
        CsvModel model;
        const QString in = path("in.csv");
        QVERIFY(writeFile(in, "\"h1\",\"h2\"\n\"a\",\"\"\n"));
        QVERIFY(model.load(in));

        QVERIFY(model.save(path("out.csv")));

        QCOMPARE(readAll(path("out.csv")), QByteArray("\"h1\",\"h2\"\n\"a\",\"\"\n"));
    }

    void oneLineFileIsHeaderOnly()
    {
        const QString file = path("header.csv");
        QVERIFY(writeFile(file, "\"a\",\"b\",\"c\"\n"));
        CsvModel model;

        QVERIFY(model.load(file));

        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 3);
    }

    void failedLoadKeepsTable()
    {
        const QString file = path("keep.csv");
        QVERIFY(writeFile(file, "\"a\"\n\"1\"\n"));
        CsvModel model;
        QVERIFY(model.load(file));

        QVERIFY(!model.load(path("missing/none.csv")));

        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("1"));
    }

    void failedSaveKeepsOldFile()
    {
        // arrange
        const QString file = path("old.csv");
        const QByteArray old = "\"keep\"\n\"me\"\n";
        QVERIFY(writeFile(file, old));
        CsvModel model;
        QVERIFY(model.load(file));
        QVERIFY(model.insertRows(0, 1));
        QVERIFY(model.setData(model.index(0, 0), QString(200000, QLatin1Char('x'))));
        // act
        bool saved = true;
        {
            FileSizeLimit limit(4096);
            QVERIFY(limit.active());
            saved = model.save(file);
        }
        // assert
        QVERIFY(!saved);
        QCOMPARE(readAll(file), old);
        QVERIFY(!model.save(path("no/such/dir/x.csv")));
        // a pipe under the name is neither written into nor replaced
        const Fifo pipe(path("pipe.csv"));
        QVERIFY(pipe.isValid());
        QVERIFY(!model.save(path("pipe.csv")));
        QVERIFY(pipe.stillThere());
    }

    void modelShape()
    {
        CsvModel model;
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 0);
        QVERIFY(!model.headerData(0, Qt::Horizontal).isValid());
        QCOMPARE(model.flags(model.index(0, 0)), Qt::NoItemFlags);
        QVERIFY(!model.insertRows(0, 1)); // no header to shape a row after

        const QString file = path("shape.csv");
        QVERIFY(writeFile(file, "\"A\",\"B\"\n\"1\"\n"));
        QVERIFY(model.load(file));
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
        QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
        QVERIFY(!model.headerData(5, Qt::Horizontal).isValid());
        QVERIFY(!model.data(model.index(0, 1)).isValid()); // short row
        QCOMPARE(model.data(model.index(0, 0), Qt::SizeHintRole).toSize(), QSize(30, 12));
        QVERIFY(model.hasChildren());
        QVERIFY(!model.hasChildren(model.index(0, 0)));
    }

    void tooltipListsFilledFields_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("tip");
        QTest::newRow("empty field left out")
            << QByteArray("\"Name\",\"Mail\",\"City\"\n\"Ann\",\"\",\"Oslo\"\n")
            << QString("<table><tr><td><b>Name</b>: Ann</td></tr>"
                       "<tr><td><b>City</b>: Oslo</td></tr></table>");
        QTest::newRow("markup shown as text")
            << QByteArray("\"<i>Name</i>\",\"Mail\"\n\"a < b & c\",\"<b>x</b>\"\n")
            << QString("<table><tr><td><b>&lt;i&gt;Name&lt;/i&gt;</b>: a &lt; b &amp; c</td></tr>"
                       "<tr><td><b>Mail</b>: &lt;b&gt;x&lt;/b&gt;</td></tr></table>");
    }
    void tooltipListsFilledFields()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, tip);
        const QString name = path("tip.csv");
        QVERIFY(writeFile(name, file));
        CsvModel model;
        QVERIFY(model.load(name));

        QCOMPARE(model.data(model.index(0, 1), Qt::ToolTipRole).toString(), tip);
    }

    void insertAndRemoveRows()
    {
        const QString file = path("rows.csv");
        QVERIFY(writeFile(file, "\"A\",\"B\"\n\"1\",\"2\"\n\"3\",\"4\"\n"));
        CsvModel model;
        QVERIFY(model.load(file));
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        QVERIFY(model.insertRows(1, 2));
        QVERIFY(!model.insertRows(9, 1));
        QVERIFY(model.setData(model.index(1, 0), "new"));

        QCOMPARE(inserted.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.data(model.index(2, 1)).toString(), QString(""));
        QCOMPARE(model.data(model.index(3, 0)).toString(), QString("3"));

        QVERIFY(!model.removeRows(3, 2)); // runs past the end
        QVERIFY(!model.removeRows(-1, 1));
        QVERIFY(model.removeRows(1, 2));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1, 0)).toString(), QString("3"));
        QVERIFY(!model.setData(model.index(1, 0), "x", Qt::ToolTipRole));
    }

    // Lines in the written form may continue a cell on the next line; a lone
    // quote inside a cell never does, and its line reads on its own.
    void loadsStrayQuotesAndMultiLineCells_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("quote inside a cell")
            << QByteArray("\"Item\",\"Note\"\n\"TV\",\"55\" screen\"\n\"Radio\",\"small\"\n\"Lamp\",\"\"\n")
            << QList<QStringList>{{"Item", "Note"}, {"TV", "55"}, {"Radio", "small"}, {"Lamp", ""}};
        QTest::newRow("quote after a cell")
            << QByteArray("\"Item\",\"Note\"\n\"TV\",\"big\"\"\n\"Radio\",\"small\"\n")
            << QList<QStringList>{{"Item", "Note"}, {"TV", "big"}, {"Radio", "small"}};
        QTest::newRow("open cell the next line does not close")
            << QByteArray("\"Item\",\"Note\"\n\"TV\",\"big\n\"Radio\",\"small\"\n")
            << QList<QStringList>{{"Item", "Note"}, {"TV"}, {"Radio", "small"}};
        QTest::newRow("cell over two lines")
            << QByteArray("\"Item\",\"Note\"\n\"TV\",\"line one\nline \"\"two\"\"\"\n\"Radio\",\"small\"\n")
            << QList<QStringList>{{"Item", "Note"}, {"TV", "line one\nline \"two\""}, {"Radio", "small"}};
        QTest::newRow("carriage returns inside cells")
            << QByteArray("\"Item\",\"Note\"\n\"TV\",\"a\r\nb\"\n\"Radio\",\"\r\"\n\"Lamp\",\"x\ry\"\n")
            << QList<QStringList>{{"Item", "Note"}, {"TV", "a\r\nb"}, {"Radio", "\r"}, {"Lamp", "x\ry"}};
        QTest::newRow("rows ending in carriage return and line feed")
            << QByteArray("\"Item\",\"Note\"\r\n\"TV\",\"a\nb\"\r\n\"Radio\",\"small\r\n")
            << QList<QStringList>{{"Item", "Note"}, {"TV", "a\nb"}, {"Radio"}};
        QTest::newRow("rows ending in carriage return")
            << QByteArray("\"H1\",\"H2\"\r\"a\",\"b\"\r\"c\",\"d\"\r")
            << QList<QStringList>{{"H1", "H2"}, {"a", "b"}, {"c", "d"}};
        QTest::newRow("carriage return rows with line ends inside cells")
            << QByteArray("\"Item\",\"Note\"\r\"TV\",\"x\ry\"\r\"Radio\",\"a\r\nb\nc\"\r\"Lamp\",\"\r\"")
            << QList<QStringList>{{"Item", "Note"}, {"TV", "x\ry"}, {"Radio", "a\r\nb\nc"}, {"Lamp", "\r"}};
        QTest::newRow("mixed line ends")
            << QByteArray("\"H\"\n\"a\"\r\n\"b\"\r\"c\"")
            << QList<QStringList>{{"H"}, {"a"}, {"b"}, {"c"}};
    }
    void loadsStrayQuotesAndMultiLineCells()
    {
        // arrange
        QFETCH(QByteArray, file);
        QFETCH(QList<QStringList>, rows);
        const QString name = path("quotes.csv");
        QVERIFY(writeFile(name, file));
        CsvModel model;
        // act
        QVERIFY(model.load(name));
        QVERIFY(model.save(path("quotes-saved.csv")));
        CsvModel again;
        QVERIFY(again.load(path("quotes-saved.csv")));
        // assert
        for (const CsvModel *m : {&model, &again}) {
            QList<QStringList> got{{}};
            for (int c = 0; c < m->columnCount(); ++c)
                got[0].append(m->headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < m->rowCount(); ++r) {
                QStringList fields;
                for (int c = 0; m->data(m->index(r, c)).isValid(); ++c)
                    fields.append(m->data(m->index(r, c)).toString());
                got.append(fields);
            }
            QCOMPARE(got, rows);
        }
    }

    // A few rows go in one at a time, many as one block; either way the
    // blank rows stand at the place asked for, the others keep their order.
    void insertRowsPutsBlankRowsInPlace_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        for (const int count : {1, 3, 65}) {
            QTest::addRow("%d at the top", count) << 0 << count;
            QTest::addRow("%d in the upper half", count) << 2 << count;
            QTest::addRow("%d in the lower half", count) << 4 << count;
            QTest::addRow("%d at the end", count) << 5 << count;
        }
    }
    void insertRowsPutsBlankRowsInPlace()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        // arrange
        const QString file = path("insert.csv");
        QVERIFY(writeFile(file, "\"A\",\"B\"\n\"1\"\n\"2\"\n\"3\"\n\"4\"\n\"5\"\n"));
        CsvModel model;
        QVERIFY(model.load(file));
        // act
        QVERIFY(model.insertRows(row, count));
        // assert
        QStringList firstCells;
        for (int r = 0; r < model.rowCount(); ++r) {
            firstCells.append(model.data(model.index(r, 0)).toString());
            if (firstCells.last().isEmpty())
                QCOMPARE(model.data(model.index(r, 1)), QVariant(QString())); // a whole blank row
        }
        QStringList expected{"1", "2", "3", "4", "5"};
        for (int i = 0; i < count; ++i)
            expected.insert(row, QString());
        QCOMPARE(firstCells, expected);
    }

    void rowCountsPastTheModelAreRefused()
    {
        const QString file = path("big.csv");
        QVERIFY(writeFile(file, "\"A\"\n\"1\"\n\"2\"\n"));
        CsvModel model;
        QVERIFY(model.load(file));

        QVERIFY(!model.removeRows(1, INT_MAX));
        QVERIFY(!model.removeRows(INT_MAX, 1));
        QVERIFY(!model.insertRows(1, INT_MAX));

        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1, 0)).toString(), QString("2"));
    }

    // A load reads only a regular file of at most 16 MiB, whole, before the
    // table changes; anything else is refused without being read (a FIFO
    // never ends or blocks, a device may never end) and the table stays.
    void loadReadsOnlyRegularFilesOfTableSize_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("loads");
        const qint64 cap = 16 * 1024 * 1024;
        QTest::newRow("fifo") << "fifo" << qint64(0) << false;
        QTest::newRow("device") << "/dev/null" << qint64(0) << false;
        QTest::newRow("exactly 16 MiB") << "file" << cap << true;
        QTest::newRow("one byte over 16 MiB") << "file" << cap + 1 << false;
    }
    void loadReadsOnlyRegularFilesOfTableSize()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        QFETCH(bool, loads);
        // arrange
        const QString old = path("kept.csv");
        QVERIFY(writeFile(old, "\"A\"\n\"kept\"\n"));
        CsvModel model;
        QVERIFY(model.load(old));
        QString name = kind;
        std::unique_ptr<FifoWatch> watch;
        if (kind == "fifo") {
            name = path("load-pipe.csv");
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
            watch = std::make_unique<FifoWatch>(name); // a reader would otherwise block for good
        } else if (kind.startsWith('/')) {
            QVERIFY(QFileInfo::exists(kind));
        } else if (kind == "file") {
            name = path("sized.csv"); // a table, then zero bytes: one more row of no fields
            QVERIFY(writeSparseFile(name, "\"B\"\n\"new\"\n", size));
        }
        // act
        const bool loaded = model.load(name);
        if (watch)
            watch->stop();
        // assert
        QCOMPARE(loaded, loads);
        QVERIFY(!watch || !watch->readerSeen());
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), loads ? QString("B") : QString("A"));
        QCOMPARE(model.data(model.index(0, 0)).toString(), loads ? QString("new") : QString("kept"));
    }

    // A regular file is read only when it opens at once: an open that would
    // wait, here for another program's lease on the file, is refused.
    void readRegularFileNeverWaitsForTheOpen_data()
    {
        QTest::addColumn<bool>("leased");
        QTest::addColumn<bool>("read");
        QTest::newRow("file nobody holds") << false << true;
        QTest::newRow("file another program holds a lease on") << true << false;
    }
    void readRegularFileNeverWaitsForTheOpen()
    {
        QFETCH(bool, leased);
        QFETCH(bool, read);
        // arrange
        const QString name = path(leased ? "leased.txt" : "free.txt");
        QVERIFY(writeFile(name, "content"));
        std::unique_ptr<LeaseHolder> holder(leased ? new LeaseHolder(name) : nullptr);
        QVERIFY(!holder || holder->isValid());
        // act
        QByteArray bytes("untouched");
        QString error;
        const bool ok = MTools::readRegularFile(name, 1024, &bytes, &error);
        // assert
        QCOMPARE(ok, read);
        QCOMPARE(bytes, read ? QByteArray("content") : QByteArray("untouched"));
        QCOMPARE(error.isEmpty(), read);
    }

    void fileHelpers()
    {
        QCOMPARE(MTools::fileNameWithoutSuffix(QFileInfo("/tmp/archive.tar.gz")), QString("archive.tar"));
        QCOMPARE(MTools::fileNameWithoutSuffix(QFileInfo("/tmp/README")), QString("README"));
        const QByteArray data(1000, 'z');
        const QByteArray raw = MTools::compressRaw(data);
        QCOMPARE(raw, qCompress(data, 9).mid(4));
        QCOMPARE(quint8(raw.at(0)), quint8(0x78)); // zlib header
        QByteArray prefixed(4, '\0');
        prefixed[2] = char(1000 >> 8);
        prefixed[3] = char(1000 & 0xFF);
        QCOMPARE(qUncompress(prefixed + raw), data);
    }
};

GLYPH_TEST_MAIN(TestCsvModel)
#include "tst_csvmodel.moc"
