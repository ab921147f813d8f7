#include "testmain.h"
#include "csvmodel.h"
#include "fifo.h"
#include "filehelpers.h"
#include "filesizelimit.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

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
