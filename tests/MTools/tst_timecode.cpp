#include "framecount.h"
#include "testmain.h"
#include "timeunits.h"

namespace {

const char *const errorPrefix = "unexpected ERROR in ..\\..\\..\\..\\libs\\cpp\\MTools\\FrameCount:";

QByteArray errorLine(int line)
{
    return QByteArray(errorPrefix) + QByteArray::number(line);
}

} // namespace

class TestTimecode : public QObject
{
    Q_OBJECT

private slots:
    void framesGiveTimecode_data()
    {
        QTest::addColumn<float>("fps");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<bool>("inclusiveDay");
        QTest::addColumn<QString>("text");
        QTest::newRow("29.97 one minute") << 29.97f << qint64(1800) << false << "00;01;00;02";
        QTest::newRow("29.97 last of minute 0") << 29.97f << qint64(1799) << false << "00;00;59;29";
        QTest::newRow("29.97 last of minute 1") << 29.97f << qint64(3597) << false << "00;01;59;29";
        QTest::newRow("29.97 minute 2") << 29.97f << qint64(3598) << false << "00;02;00;02";
        QTest::newRow("29.97 ten minutes") << 29.97f << qint64(17982) << false << "00;10;00;00";
        QTest::newRow("29.97 one hour") << 29.97f << qint64(107892) << false << "01;00;00;00";
        QTest::newRow("23.98 one minute") << 23.98f << qint64(1440) << false << "00;01;00;02";
        QTest::newRow("25 one hour") << 25.0f << qint64(90000) << false << "01:00:00:00";
        QTest::newRow("25 minus one") << 25.0f << qint64(-1) << false << "23:59:59:24";
        QTest::newRow("25 day inclusive") << 25.0f << qint64(2160000) << true << "24:00:00:00";
        QTest::newRow("25 day exclusive") << 25.0f << qint64(2160000) << false << "00:00:00:00";
        QTest::newRow("25 two days inclusive") << 25.0f << qint64(4320000) << true << "24:00:00:00";
        QTest::newRow("25 two days + 1 inclusive") << 25.0f << qint64(4320001) << true << "00:00:00:01";
        QTest::newRow("25 zero inclusive") << 25.0f << qint64(0) << true << "00:00:00:00";
        QTest::newRow("29.97 day inclusive") << 29.97f << qint64(2589408) << true << "24;00;00;00";
        QTest::newRow("30 beyond 32 bits") << 30.0f << qint64(5000000000LL) << false << "00:17:46:20";
        QTest::newRow("24 far negative") << 24.0f << -(qint64(1) << 40) << false << "02:58:29:08";
        QTest::newRow("negative rate") << -25.0f << qint64(90001) << false << "01:00:00:01";
        QTest::newRow("25 minus one day") << 25.0f << qint64(-2160000) << false << "00:00:00:00";
        QTest::newRow("25 minus one day inclusive") << 25.0f << qint64(-2160000) << true << "00:00:00:00";
        QTest::newRow("25 minus two days") << 25.0f << qint64(-4320000) << false << "00:00:00:00";
        QTest::newRow("29.97 minus one day") << 29.97f << qint64(-2589408) << false << "00;00;00;00";
    }
    void framesGiveTimecode()
    {
        QFETCH(float, fps);
        QFETCH(qint64, count);
        QFETCH(bool, inclusiveDay);
        QFETCH(QString, text);
        FrameCount frames(count, fps);
        QCOMPARE(frames.timecodeString(inclusiveDay), text);
    }

    // Every count of a day survives frames -> timecode -> frames at each rate.
    void timecodeRoundTrips_data()
    {
        QTest::addColumn<float>("fps");
        QTest::addColumn<bool>("pulldown");
        QTest::addColumn<int>("phase");
        QTest::addColumn<qint64>("day"); // frames in one day
        QTest::addColumn<int>("maxFrame");
        QTest::newRow("23.98") << 23.98f << false << 0 << qint64(2071008) << 23;
        QTest::newRow("24") << 24.0f << false << 0 << qint64(2073600) << 23;
        QTest::newRow("25") << 25.0f << false << 0 << qint64(2160000) << 24;
        QTest::newRow("29.97") << 29.97f << false << 0 << qint64(2589408) << 29;
        QTest::newRow("30") << 30.0f << false << 0 << qint64(2592000) << 29;
        for (const float fps : {29.97f, 30.0f, 24.0f, 23.98f}) {
            const qint64 day = (fps == 29.97f || fps == 23.98f) ? 2071008 : 2073600;
            for (int phase = 1; phase <= 4; ++phase)
                QTest::addRow("%.2f pulldown phase %d", double(fps), phase) << fps << true << phase << day << 29;
        }
    }
    void timecodeRoundTrips()
    {
        QFETCH(float, fps);
        QFETCH(bool, pulldown);
        QFETCH(int, phase);
        QFETCH(qint64, day);
        QFETCH(int, maxFrame);
        FrameCount frames(0, fps);
        // Every frame of the first half hour and of the last minutes, a sample in between.
        for (qint64 count = 0; count < day; count += (count < 60000 || count > day - 10000 ? 1 : 997)) {
            frames.setFrameCount(count);
            int h = -1, m = -1, s = -1, f = -1;
            frames.timecodeFromFrameCount(h, m, s, f, false, 0, pulldown, phase);
            QVERIFY2(f >= 0 && f <= maxFrame && s >= 0 && s < 60 && m >= 0 && m < 60 && h >= 0 && h < 24,
                     qPrintable(QStringLiteral("count %1").arg(count)));
            int field = 0;
            const qint64 back = frames.frameCountFromTimecode(h, m, s, f, pulldown, phase, &field);
            // Field -1: the second field of the film frame before the one counted.
            const qint64 expected = field == -1 ? (count + 1) % day : count;
            QVERIFY2(back == expected, qPrintable(QStringLiteral("count %1 -> %2:%3:%4:%5 -> %6")
                                                   .arg(count).arg(h).arg(m).arg(s).arg(f).arg(back)));
            // The text form gives the same count.
            if (count % 101 == 0 && field != -1) {
                const QString text = FrameCount::formatTimecode(h, m, s, f, false, fps, false);
                QCOMPARE(frames.frameCountFromString(text, pulldown, phase), count);
            }
        }
    }

    void pulldownSpreadsFilmFrames_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("field");
        QTest::addColumn<qint64>("back");
        QTest::newRow("phase 1 frame 0") << 1 << qint64(0) << "00:00:00:00" << 0 << qint64(0);
        QTest::newRow("phase 1 frame 1") << 1 << qint64(1) << "00:00:00:01" << 0 << qint64(1);
        QTest::newRow("phase 1 frame 2") << 1 << qint64(2) << "00:00:00:03" << 0 << qint64(2);
        QTest::newRow("phase 2 frame 3") << 2 << qint64(3) << "00:00:00:04" << 0 << qint64(3);
        QTest::newRow("phase 4 frame 0") << 4 << qint64(0) << "00:00:00:01" << 0 << qint64(0);
        // The last film frame at phase 4 lies on frame 0 of the next second,
        // which reads back as that second's frame 0 less one field.
        QTest::newRow("phase 4 frame 23") << 4 << qint64(23) << "00:00:01:00" << -1 << qint64(24);
        QTest::newRow("phase 4 last of day") << 4 << qint64(86400 * 24 - 1) << "00:00:00:00" << -1 << qint64(0);
    }
    void pulldownSpreadsFilmFrames()
    {
        QFETCH(int, phase);
        QFETCH(qint64, count);
        QFETCH(QString, text);
        QFETCH(int, field);
        QFETCH(qint64, back);
        FrameCount frames(count, 30.0f);
        QCOMPARE(frames.timecodeString(false, true, phase), text);
        int h = 0, m = 0, s = 0, f = 0;
        frames.timecodeFromFrameCount(h, m, s, f, false, 0, true, phase);
        int gotField = 99;
        QCOMPARE(frames.frameCountFromTimecode(h, m, s, f, true, phase, &gotField), back);
        QCOMPARE(gotField, field);
    }

    // The 30-to-24 table value is halved with truncation: its -1 entries give
    // frame 0 of the same second and field -1.
    void pulldownTableValuesTruncate_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("frame");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<int>("field");
        QTest::newRow("phase 1 frame 0") << 1 << 1 << 0 << qint64(24) << 0;
        QTest::newRow("phase 3 frame 0") << 3 << 1 << 0 << qint64(24) << -1;
        QTest::newRow("phase 4 frame 0") << 4 << 1 << 0 << qint64(24) << -1;
        QTest::newRow("phase 3 frame 0 of the day") << 3 << 0 << 0 << qint64(0) << -1;
        QTest::newRow("phase 3 frame 1") << 3 << 1 << 1 << qint64(24) << 0;
        QTest::newRow("phase 4 frame 5") << 4 << 1 << 5 << qint64(27) << 0;
    }
    void pulldownTableValuesTruncate()
    {
        QFETCH(int, phase);
        QFETCH(int, second);
        QFETCH(int, frame);
        QFETCH(qint64, count);
        QFETCH(int, field);
        const FrameCount frames(0, 30.0f);
        int gotField = 99;

        const qint64 got = frames.frameCountFromTimecode(0, 0, second, frame, true, phase, &gotField);

        QCOMPARE(got, count);
        QCOMPARE(gotField, field);
    }

    void pulldownFrameOffsetCarriesSeconds_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << "00:00:10:14";
        QTest::newRow("within second") << 5 << "00:00:10:19";
        QTest::newRow("carry") << 20 << "00:00:11:04";
        QTest::newRow("borrow") << -20 << "00:00:09:24";
        QTest::newRow("two seconds") << 50 << "00:00:12:04";
    }
    void pulldownFrameOffsetCarriesSeconds()
    {
        QFETCH(int, offset);
        QFETCH(QString, text);
        FrameCount frames(24 * 10 + 11, 30.0f); // film frame 11 at second 10: video frame 14 at phase 1
        int h = 0, m = 0, s = 0, f = 0;
        frames.timecodeFromFrameCount(h, m, s, f, false, offset, true, 1);
        QCOMPARE(FrameCount::formatTimecode(h, m, s, f, false, 30.0f, false), text);
    }

    void wrongPulldownPhaseIsReported()
    {
        FrameCount frames(24 * 61 + 5, 30.0f);
        int h = 0, m = 0, s = 0, f = 0;
        QTest::ignoreMessage(QtDebugMsg, "FrameCount::timecodeFromFrameCount wrong pulldown phase value: 5");
        frames.timecodeFromFrameCount(h, m, s, f, false, 0, true, 5);
        QCOMPARE(QVector<int>({h, m, s, f}), QVector<int>({0, 1, 1, 5})); // the film-frame timecode

        QTest::ignoreMessage(QtDebugMsg, "FrameCount::frameCountFromTimecode wrong pulldown phase value: 0");
        QCOMPARE(frames.frameCountFromTimecode(0, 0, 1, 5, true, 0), FrameCount::unknown);
        QTest::ignoreMessage(QtDebugMsg, "FrameCount::frameCountFromTimecode wrong pulldown frame value: 30");
        QCOMPARE(frames.frameCountFromTimecode(0, 0, 1, 30, true, 1), FrameCount::unknown);
    }

    void timecodeGivesFrames_data()
    {
        QTest::addColumn<float>("fps");
        QTest::addColumn<QVector<int>>("hmsf");
        QTest::addColumn<qint64>("count");
        QTest::newRow("29.97 one minute") << 29.97f << QVector<int>{0, 1, 0, 2} << qint64(1800);
        QTest::newRow("25 one hour") << 25.0f << QVector<int>{1, 0, 0, 0} << qint64(90000);
        QTest::newRow("30 mixed") << 30.0f << QVector<int>{1, 2, 3, 4} << qint64(111694);
        QTest::newRow("negative rate") << -25.0f << QVector<int>{0, 0, 1, 1} << qint64(26);
        QTest::newRow("rate 0") << 0.0f << QVector<int>{0, 0, 1, 1} << FrameCount::unknown;
        QTest::newRow("overflow") << 2e9f << QVector<int>{2147483647, 0, 0, 0} << FrameCount::unknown;
    }
    void timecodeGivesFrames()
    {
        QFETCH(float, fps);
        QFETCH(QVector<int>, hmsf);
        QFETCH(qint64, count);
        const FrameCount frames(0, fps);
        QCOMPARE(frames.frameCountFromTimecode(hmsf[0], hmsf[1], hmsf[2], hmsf[3]), count);
        if (count != FrameCount::unknown) {
            const FrameCount built(hmsf[0], hmsf[1], hmsf[2], hmsf[3], fps);
            QCOMPARE(built.frameCount(), count);
        }
    }

    void textGivesFrames_data()
    {
        QTest::addColumn<float>("fps");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("count");
        QTest::newRow("25") << 25.0f << "01:00:00:00" << qint64(90000);
        QTest::newRow("drop text") << 29.97f << "00;01;00;02" << qint64(1800);
        QTest::newRow("separators ignored") << 25.0f << "00x00y01z05" << qint64(30);
        QTest::newRow("no digits") << 25.0f << "ab:00:00:05" << qint64(5);
        QTest::newRow("leading digit only") << 25.0f << "1a:00:00:00" << qint64(90000);
        QTest::newRow("12 characters") << 25.0f << "10:00:00:00x" << FrameCount::unknown;
        QTest::newRow("10 characters") << 25.0f << "10:00:00:0" << FrameCount::unknown;
        QTest::newRow("empty") << 25.0f << "" << FrameCount::unknown;
    }
    void textGivesFrames()
    {
        QFETCH(float, fps);
        QFETCH(QString, text);
        QFETCH(qint64, count);
        QCOMPARE(FrameCount(0, fps).frameCountFromString(text), count);
    }

    void formatsTimecode_data()
    {
        QTest::addColumn<bool>("dropFrame");
        QTest::addColumn<float>("fps");
        QTest::addColumn<bool>("markRate");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << false << 25.0f << false << "01:02:03:04";
        QTest::newRow("drop") << true << 29.97f << false << "01;02;03;04";
        QTest::newRow("drop marked") << true << 29.97f << true << "01;02;03;04";
        QTest::newRow("25 marked") << false << 25.0f << true << "01:02:03:04";
        QTest::newRow("30 marked") << false << 30.0f << true << "01:02:03:04";
        QTest::newRow("24 marked") << false << 24.0f << true << "01:02:03+04";
        QTest::newRow("29.97 non-drop marked") << false << 29.97f << true << "01:02:03+04";
        QTest::newRow("50 marked") << false << 50.0f << true << "01:02:03+04";
    }
    void formatsTimecode()
    {
        QFETCH(bool, dropFrame);
        QFETCH(float, fps);
        QFETCH(bool, markRate);
        QFETCH(QString, text);
        QCOMPARE(FrameCount::formatTimecode(1, 2, 3, 4, dropFrame, fps, markRate), text);
    }

    void rateZeroGivesEmptyText()
    {
        FrameCount frames(100, 0.0f);
        QCOMPARE(frames.timecodeString(), QString());
    }

    void writesPackedBcd()
    {
        FrameCount frames(93079, 25.0f);
        QCOMPARE(frames.smpteTimecode(), 0x01020304u);
        QVERIFY(frames.hasSmpteTimecode());

        frames.setFrameCount(90000); // the stored BCD belonged to the old count
        QCOMPARE(frames.smpteTimecode(), 0x01000000u);

        FrameCount drop(1800, 29.97f);
        QCOMPARE(drop.smpteTimecode(), 0x00010042u); // 00;01;00;02 with the drop-frame flag
    }

    void readsPackedBcd_data()
    {
        QTest::addColumn<float>("fps");
        QTest::addColumn<uint>("bcd");
        QTest::addColumn<float>("rate");
        QTest::addColumn<qint64>("count");
        QTest::newRow("25") << 25.0f << 0x01020304u << 25.0f << qint64(93079);
        QTest::newRow("29.97 with flag") << 29.97f << 0x00010042u << 29.97f << qint64(1800);
        QTest::newRow("29.97 without flag") << 29.97f << 0x00010002u << 30.0f << qint64(1802);
        QTest::newRow("23.98 without flag") << 23.98f << 0x00010002u << 24.0f << qint64(1442);
        QTest::newRow("odd rate becomes 30") << 50.0f << 0x00000100u << 30.0f << qint64(30);
        // Tens groups are masked: hours tens 0xF reads as 3, frames tens 0x3.
        QTest::newRow("masked tens") << 25.0f << 0xF0000030u << 25.0f << qint64(30 * 90000 + 30);
    }
    void readsPackedBcd()
    {
        QFETCH(float, fps);
        QFETCH(uint, bcd);
        QFETCH(float, rate);
        QFETCH(qint64, count);
        const FrameCount frames(fps, bcd, false, 0, nullptr);
        QCOMPARE(frames.frameRate(), rate);
        QCOMPARE(frames.frameCount(), count);
        QVERIFY(frames.hasSmpteTimecode());
        FrameCount copy(frames);
        QCOMPARE(copy.smpteTimecode(), bcd); // kept unchanged
    }

    void packedBcdRoundTrips_data()
    {
        QTest::addColumn<float>("fps");
        for (const float fps : {23.98f, 24.0f, 25.0f, 29.97f, 30.0f})
            QTest::addRow("%.2f", double(fps)) << fps;
    }
    void packedBcdRoundTrips()
    {
        QFETCH(float, fps);
        for (qint64 count = 0; count < 2000000; count += 1237) {
            FrameCount out(count, fps);
            const unsigned int bcd = out.smpteTimecode();
            const FrameCount in(fps, bcd, false, 0, nullptr);
            QCOMPARE(in.frameRate(), fps);
            QCOMPARE(in.frameCount(), count);
        }
    }

    void unknownCountHasNoBcd()
    {
        FrameCount frames(12, 25.0f);
        frames.smpteTimecode();
        frames.clear();
        QVERIFY(!frames.isValid());
        QCOMPARE(frames.frameRate(), 30.0f);
        QTest::ignoreMessage(QtDebugMsg, "FrameCount::smpteTimecode() wille framecount is unkonwn");
        QCOMPARE(frames.smpteTimecode(), 0u);

        FrameCount fresh; // valid, but the count is unknown
        QTest::ignoreMessage(QtDebugMsg, "FrameCount::smpteTimecode() wille framecount is unkonwn");
        QCOMPARE(fresh.smpteTimecode(), 0u);
    }

    void invalidCountsAreReported()
    {
        FrameCount a(10, 25.0f);
        FrameCount b(20, 25.0f);
        QVERIFY(a < b);
        QVERIFY(b > a);
        b.clear();
        QTest::ignoreMessage(QtDebugMsg, errorLine(258).constData());
        QVERIFY(!(a > b));
        QTest::ignoreMessage(QtDebugMsg, errorLine(276).constData());
        QVERIFY(!(a < b));
        QTest::ignoreMessage(QtDebugMsg, errorLine(286).constData());
        QCOMPARE(b.frameCount(), qint64(-1));
        QTest::ignoreMessage(QtDebugMsg, errorLine(633).constData());
        QCOMPARE(b.frameCountAtRate(50.0f), FrameCount::unknown);
        int h = 7, m = 7, s = 7, f = 7;
        QTest::ignoreMessage(QtDebugMsg, errorLine(349).constData());
        b.timecodeFromFrameCount(h, m, s, f);
        QCOMPARE(QVector<int>({h, m, s, f}), QVector<int>({0, 0, 0, 0}));
    }

    void convertsBetweenRates_data()
    {
        QTest::addColumn<float>("fps");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<float>("newFps");
        QTest::addColumn<qint64>("result");
        QTest::newRow("25 to 50") << 25.0f << qint64(100) << 50.0f << qint64(200);
        QTest::newRow("25 to 30") << 25.0f << qint64(101) << 30.0f << qint64(121); // 121.2
        QTest::newRow("rounds half up") << 30.0f << qint64(1) << 45.0f << qint64(2); // 1.5
        QTest::newRow("negative own rate") << -25.0f << qint64(100) << 50.0f << qint64(200);
        QTest::newRow("negative new rate") << 25.0f << qint64(100) << -50.0f << qint64(200);
        QTest::newRow("own rate 0") << 0.0f << qint64(100) << 50.0f << FrameCount::unknown;
        QTest::newRow("overflow") << 1.0f << (qint64(1) << 62) << 4.0f << FrameCount::unknown;
    }
    void convertsBetweenRates()
    {
        QFETCH(float, fps);
        QFETCH(qint64, count);
        QFETCH(float, newFps);
        QFETCH(qint64, result);
        FrameCount frames(count, fps);
        QCOMPARE(frames.frameCountAtRate(newFps), result);
        QVERIFY(frames.frameRate() >= 0.0f);
        frames.setFrameRate(newFps);
        QCOMPARE(frames.frameCount(), result);
        QCOMPARE(frames.frameRate(), newFps);
    }

    void copiesAndAssignments()
    {
        FrameCount source(93079, 25.0f);
        source.smpteTimecode();
        FrameCount assigned;
        assigned = source;
        QVERIFY(assigned == source);
        QCOMPARE(assigned.smpteTimecode(), 0x01020304u);

        FrameCount invalid(5, 25.0f);
        invalid.clear();
        const FrameCount copied(invalid);
        FrameCount assignedInvalid(1, 24.0f);
        assignedInvalid = invalid;
        QVERIFY(copied == invalid);
        QVERIFY(assignedInvalid == invalid);
        QVERIFY(!(FrameCount(5, 25.0f) == FrameCount(5, 24.0f)));
    }

    void convertsUnits_data()
    {
        QTest::addColumn<int>("which"); // 0 convertUnits, 1 back, 2 samples->frames, 3 frames->samples, 4 samplesToFrames, 5 framesToSamples
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<float>("fps");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("timeBase");
        QTest::addColumn<qint64>("result");
        const qint64 unknown = FrameCount::unknown;
        QTest::newRow("frames to base") << 0 << qint64(50) << 2 << 25.0f << 0 << 1000 << qint64(2000);
        QTest::newRow("frames fps 0") << 0 << qint64(50) << 2 << 0.0f << 0 << 1000 << qint64(0);
        QTest::newRow("samples equal rate") << 0 << qint64(12345) << 3 << 0.0f << 48000 << 48000 << qint64(12345);
        QTest::newRow("samples rate 0") << 0 << qint64(12345) << 3 << 0.0f << 0 << 48000 << qint64(0);
        QTest::newRow("samples to base") << 0 << qint64(44100) << 3 << 0.0f << 44100 << 1000 << qint64(1000);
        QTest::newRow("truncates toward zero") << 0 << qint64(-7) << 3 << 0.0f << 2 << 1 << qint64(-3);
        QTest::newRow("other kind") << 0 << qint64(77) << 9 << 0.0f << 0 << 0 << qint64(77);
        QTest::newRow("overflow") << 0 << (qint64(1) << 62) << 3 << 0.0f << 1 << 1000 << unknown;
        QTest::newRow("back frames") << 1 << qint64(2000) << 2 << 25.0f << 0 << 1000 << qint64(50);
        QTest::newRow("back base 0") << 1 << qint64(2000) << 2 << 25.0f << 0 << 0 << qint64(0);
        QTest::newRow("back samples") << 1 << qint64(1000) << 3 << 0.0f << 48000 << 1000 << qint64(48000);
        QTest::newRow("back samples base 0") << 1 << qint64(1000) << 3 << 0.0f << 48000 << 0 << qint64(0);
        QTest::newRow("samples to frames via base") << 2 << qint64(96000) << 0 << 25.0f << 48000 << 1000 << qint64(50);
        QTest::newRow("frames to samples via base") << 3 << qint64(50) << 0 << 25.0f << 48000 << 1000 << qint64(96000);
        QTest::newRow("via base, rate 0") << 2 << qint64(96000) << 0 << 25.0f << 0 << 1000 << qint64(0);
        QTest::newRow("samples to frames") << 4 << qint64(96000) << 0 << 25.0f << 48000 << 0 << qint64(50);
        QTest::newRow("samples to frames rate 0") << 4 << qint64(96000) << 0 << 25.0f << 0 << 0 << qint64(0);
        QTest::newRow("frames to samples") << 5 << qint64(50) << 0 << 25.0f << 48000 << 0 << qint64(96000);
        QTest::newRow("frames to samples fps 0") << 5 << qint64(50) << 0 << 0.0f << 48000 << 0 << qint64(0);
    }
    void convertsUnits()
    {
        QFETCH(int, which);
        QFETCH(qint64, value);
        QFETCH(int, kind);
        QFETCH(float, fps);
        QFETCH(int, rate);
        QFETCH(int, timeBase);
        QFETCH(qint64, result);
        qint64 got = -1;
        switch (which) {
        case 0: got = MTools::convertUnits(value, kind, fps, rate, timeBase); break;
        case 1: got = MTools::convertUnitsBack(value, kind, fps, rate, timeBase); break;
        case 2: got = MTools::samplesToFramesViaTimeBase(value, fps, rate, timeBase); break;
        case 3: got = MTools::framesToSamplesViaTimeBase(value, fps, rate, timeBase); break;
        case 4: got = MTools::samplesToFrames(value, fps, unsigned(rate)); break;
        case 5: got = MTools::framesToSamples(value, fps, unsigned(rate)); break;
        }
        QCOMPARE(got, result);
    }

    void formatsTimeStamps()
    {
        const QDateTime time(QDate(2020, 3, 4), QTime(5, 6, 7, 89));
        QCOMPARE(MTools::timeStampString(time), QStringLiteral("2020-03-04_05:06:07:089"));
        QCOMPARE(MTools::timeStampString().size(), 23);
    }
};

GLYPH_TEST_MAIN(TestTimecode)
#include "tst_timecode.moc"
