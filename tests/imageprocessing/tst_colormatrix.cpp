#include "colormatrix.h"
#include "testmain.h"

using namespace MGraphX;

class TestColorMatrix : public QObject
{
    Q_OBJECT

private slots:
    void identityMapsEveryColourToItself_data()
    {
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("black transparent") << qRgba(0, 0, 0, 0);
        QTest::newRow("mixed") << qRgba(1, 128, 254, 77);
        QTest::newRow("white") << qRgba(255, 255, 255, 255);
    }

    void identityMapsEveryColourToItself()
    {
        QFETCH(QRgb, colour);
        ColorMatrix matrix;
        QCOMPARE(matrix.map(qRed(colour), qGreen(colour), qBlue(colour), qAlpha(colour)), colour);
        QCOMPARE(matrix.mask, 31);
        QCOMPARE(QString::fromLatin1(matrix.metaObject()->className()),
                 QStringLiteral("MGraphX::ColorMatrix"));
    }

    void presetsMapKnownColours_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QRgb>("input");
        QTest::addColumn<QRgb>("expected");

        QTest::newRow("saturation 0 averages") << "sat0" << qRgba(30, 60, 90, 200) << qRgba(60, 60, 60, 200);
        QTest::newRow("saturation 1 keeps") << "sat1" << qRgba(30, 60, 90, 200) << qRgba(30, 60, 90, 200);
        QTest::newRow("saturation 2 clamps both ways") << "sat2" << qRgba(0, 0, 255, 255)
                                                        << qRgba(0, 0, 255, 255);
        QTest::newRow("scale clamps above") << "scale2" << qRgba(200, 10, 10, 255) << qRgba(255, 10, 10, 255);
        QTest::newRow("negative scale clamps to 0") << "scaleneg" << qRgba(200, 10, 10, 255)
                                                    << qRgba(0, 10, 10, 255);
        QTest::newRow("brightness half truncates") << "bright" << qRgba(100, 51, 3, 77) << qRgba(50, 25, 1, 77);
        QTest::newRow("grey average") << "avg" << qRgba(30, 60, 90, 1) << qRgba(60, 60, 60, 1);
        QTest::newRow("grey luminance") << "lum" << qRgba(100, 50, 200, 9) << qRgba(77, 77, 77, 9);
        QTest::newRow("swap red green") << "rg" << qRgba(10, 20, 30, 40) << qRgba(20, 10, 30, 40);
        QTest::newRow("swap red blue") << "rb" << qRgba(10, 20, 30, 40) << qRgba(30, 20, 10, 40);
        QTest::newRow("swap green blue") << "gb" << qRgba(10, 20, 30, 40) << qRgba(10, 30, 20, 40);
        QTest::newRow("tint ones") << "tint1" << qRgba(30, 60, 90, 255) << qRgba(60, 60, 60, 255);
        QTest::newRow("tint halves divide by rounded-up sum") << "tinthalf" << qRgba(30, 60, 90, 255)
                                                              << qRgba(30, 30, 30, 255);
        QTest::newRow("tint zero gives black, alpha scaled") << "tint0" << qRgba(30, 60, 90, 200)
                                                             << qRgba(0, 0, 0, 100);
        QTest::newRow("alpha sum clamps") << "alphasum" << qRgba(255, 255, 255, 255) << qRgba(0, 0, 0, 255);
        QTest::newRow("alpha sum of dark colour") << "alphasum" << qRgba(10, 20, 30, 0) << qRgba(0, 0, 0, 60);
        QTest::newRow("reset after preset") << "reset" << qRgba(10, 20, 30, 40) << qRgba(10, 20, 30, 40);
    }

    void presetsMapKnownColours()
    {
        QFETCH(QString, preset);
        QFETCH(QRgb, input);
        QFETCH(QRgb, expected);
        ColorMatrix matrix;
        matrix.mask = 0;

        if (preset == QLatin1String("sat0"))
            matrix.setSaturation(0.0f);
        else if (preset == QLatin1String("sat1"))
            matrix.setSaturation(1.0f);
        else if (preset == QLatin1String("sat2"))
            matrix.setSaturation(2.0f);
        else if (preset == QLatin1String("scale2"))
            matrix.setScale(2, 1, 1, 1);
        else if (preset == QLatin1String("scaleneg"))
            matrix.setScale(-1, 1, 1, 1);
        else if (preset == QLatin1String("bright"))
            matrix.setBrightness(0.5f);
        else if (preset == QLatin1String("avg"))
            matrix.setGrayAverage();
        else if (preset == QLatin1String("lum"))
            matrix.setGrayLuminance();
        else if (preset == QLatin1String("rg"))
            matrix.swapRedGreen();
        else if (preset == QLatin1String("rb"))
            matrix.swapRedBlue();
        else if (preset == QLatin1String("gb"))
            matrix.swapGreenBlue();
        else if (preset == QLatin1String("tint1"))
            matrix.setTint(1, 1, 1, 1);
        else if (preset == QLatin1String("tinthalf"))
            matrix.setTint(0.5f, 0.5f, 0.5f, 1);
        else if (preset == QLatin1String("tint0"))
            matrix.setTint(0, 0, 0, 0.5f);
        else if (preset == QLatin1String("alphasum"))
            matrix.setAlphaSum();
        else if (preset == QLatin1String("reset")) {
            matrix.setTint(1, 2, 3, 4);
            matrix.reset();
        } else
            QFAIL("unknown preset");

        QCOMPARE(matrix.mask, 31);
        QCOMPARE(matrix.map(qRed(input), qGreen(input), qBlue(input), qAlpha(input)), expected);
    }

    void presetsChangeOnlyTheirEntries()
    {
        ColorMatrix matrix;
        matrix.setScale(2, 3, 4, 5);
        matrix.setSaturation(0.0f);
        QCOMPARE(matrix.m[0][1], (1.0f - 0.0f) / 3.0f);
        QCOMPARE(matrix.m[3][3], 5.0f); // alpha row untouched by saturation
        matrix.swapRedBlue();
        QCOMPARE(matrix.m[3][3], 5.0f);
        matrix.setBrightness(0.25f);
        QCOMPARE(matrix.m[1][1], 0.25f);
        QCOMPARE(matrix.m[1][0], 1.0f / 3.0f);
    }

    void copiesCarryMatrixAndMask()
    {
        ColorMatrix source;
        source.setTint(1, 0, 0, 1);
        source.mask = 7;

        ColorMatrix copy(source);
        ColorMatrix assigned;
        assigned = source;

        for (const ColorMatrix *m : {&copy, &assigned}) {
            QCOMPARE(m->mask, 7);
            QCOMPARE(m->map(10, 20, 30, 255), qRgba(60, 0, 0, 255));
            QVERIFY(!m->parent());
        }
    }

    void applyMapsEveryPixel()
    {
        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(qRgba(10, 20, 30, 40));
        image.setPixel(2, 1, qRgba(200, 0, 100, 255));
        ColorMatrix matrix;
        matrix.setScale(2, 1, 0.5f, 1);

        const QImage result = matrix.apply(image);

        QCOMPARE(result.format(), QImage::Format_ARGB32);
        QCOMPARE(result.pixel(0, 0), qRgba(20, 20, 15, 40));
        QCOMPARE(result.pixel(2, 1), qRgba(255, 0, 50, 255));
        QCOMPARE(image.pixel(2, 1), qRgba(200, 0, 100, 255)); // input unchanged
    }

    void applyConvertsOtherFormatsAndRejectsNull()
    {
        QImage image(5, 3, QImage::Format_RGB888); // 3 bytes a pixel
        image.fill(qRgb(10, 20, 30));
        ColorMatrix matrix;
        matrix.swapRedBlue();

        const QImage result = matrix.apply(image);

        QCOMPARE(result.size(), image.size());
        QCOMPARE(result.pixel(4, 2), qRgb(30, 20, 10));
        QVERIFY(matrix.apply(QImage()).isNull());
    }
};

GLYPH_TEST_MAIN(TestColorMatrix)
#include "tst_colormatrix.moc"
