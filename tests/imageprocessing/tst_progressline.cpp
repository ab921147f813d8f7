#include "progressline.h"
#include "testmain.h"

using namespace MGraphX;

class TestProgressLine : public QObject
{
    Q_OBJECT

private slots:
    void onlyMovesForwardWithinBounds_data()
    {
        QTest::addColumn<QString>("steps"); // "s40 a-5": set 40, add -5
        QTest::addColumn<int>("expected");

        QTest::newRow("starts at zero") << "" << 0;
        QTest::newRow("set lower keeps higher") << "s40 s30" << 40;
        QTest::newRow("set above 100 caps") << "s150" << 100;
        QTest::newRow("negative set ignored") << "s20 s-1" << 20;
        QTest::newRow("add twice caps") << "a70 a70" << 100;
        QTest::newRow("add once") << "a70" << 70;
        QTest::newRow("negative add ignored") << "a30 a-10" << 30;
        QTest::newRow("huge add does not overflow") << "a50 a2147483647" << 100;
        QTest::newRow("set after add") << "a10 s5 s60 a15" << 75;
    }

    void onlyMovesForwardWithinBounds()
    {
        QFETCH(QString, steps);
        QFETCH(int, expected);
        ProgressLine line(1, 2, 3, 4, 5);

        for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int amount = step.mid(1).toInt();
            if (step.startsWith(QLatin1Char('s')))
                line.setProgress(amount);
            else
                line.addProgress(amount);
        }

        QCOMPARE(line.percent(), expected);
        QCOMPARE(line.value1(), 1);
        QCOMPARE(line.value5(), 5);
    }
};

GLYPH_TEST_MAIN(TestProgressLine)
#include "tst_progressline.moc"
