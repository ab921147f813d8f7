#include "testmain.h"
#include "mfft.h"
#include "seriesmath.h"

#include <cfloat>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

using MTools::Math;

namespace {

typedef std::vector<std::complex<double>> Spectrum;

// Direct DFT, scaled by 1/n like the forward transforms.
Spectrum directDft(const std::vector<float> &re, const std::vector<float> &im)
{
    const int n = int(re.size());
    Spectrum out(n);
    for (int m = 0; m < n; ++m) {
        std::complex<double> sum;
        for (int j = 0; j < n; ++j) {
            const double angle = -2.0 * M_PI * j * m / n;
            sum += std::complex<double>(re[j], im[j]) * std::polar(1.0, angle);
        }
        out[m] = sum / double(n);
    }
    return out;
}

void makeSignal(int n, std::vector<float> &re, std::vector<float> &im)
{
    re.resize(n);
    im.resize(n);
    for (int i = 0; i < n; ++i) {
        re[i] = float(std::sin(0.7 * i) + 0.25 * i);
        im[i] = float(std::cos(1.3 * i) - 0.5);
    }
}

double maxError(const Spectrum &expected, const std::vector<float> &re, const std::vector<float> &im)
{
    double worst = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        worst = std::max(worst, std::abs(expected[i] - std::complex<double>(re[i], im[i])));
    return worst;
}

// Calls the Math function of that name; y is the second argument where there is one.
double evaluate(const QString &function, float x, float y)
{
    if (function == "sine") return Math::sine(x);
    if (function == "cosine") return Math::cosine(x);
    if (function == "secant") return Math::secant(x);
    if (function == "exponential") return Math::exponential(x);
    if (function == "logarithm") return Math::logarithm(x);
    if (function == "arcTan") return Math::arcTan(x);
    if (function == "shiftedArcTan") return Math::shiftedArcTan(x);
    if (function == "arcCos") return Math::arcCos(x);
    if (function == "squareRoot") return Math::squareRoot(x);
    if (function == "power") return Math::power(x, int(y));
    if (function == "generalPower") return Math::generalPower(x, y);
    if (function == "factorial") return Math::factorial(int(x));
    if (function == "factorialF") return Math::factorialF(x);
    if (function == "absolute") return Math::absolute(x);
    if (function == "truncate") return Math::truncate(x);
    if (function == "maximum") return Math::maximum(x, y);
    if (function == "minimum") return Math::minimum(x, y);
    if (function == "degreesToRadians") return Math::degreesToRadians(int(x));
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace

class TestFft : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Math::setPrecision(1e-10f); }

    void sizes_data()
    {
        QTest::addColumn<int>("bits");
        for (int bits : {0, 1, 2, 3, 4, 6})
            QTest::newRow(qPrintable(QString::number(1 << bits))) << bits;
    }

    void mathForwardMatchesDirectDft_data() { sizes_data(); }
    void mathForwardMatchesDirectDft()
    {
        QFETCH(int, bits);
        std::vector<float> re, im;
        makeSignal(1 << bits, re, im);
        const Spectrum expected = directDft(re, im);

        Math::fftForward(1 << bits, re.data(), im.data());

        QVERIFY2(maxError(expected, re, im) < 1e-4, qPrintable(QString::number(maxError(expected, re, im))));
    }

    void mfftForwardMatchesDirectDft_data() { sizes_data(); }
    void mfftForwardMatchesDirectDft()
    {
        QFETCH(int, bits);
        std::vector<float> re, im;
        makeSignal(1 << bits, re, im);
        const Spectrum expected = directDft(re, im);
        const MTools::MFft fft(bits);

        fft.transform(re.data(), im.data(), false);

        QVERIFY2(maxError(expected, re, im) < 1e-4, qPrintable(QString::number(maxError(expected, re, im))));
    }

    void inverseRestoresSignal_data() { sizes_data(); }
    void inverseRestoresSignal()
    {
        QFETCH(int, bits);
        const int n = 1 << bits;
        std::vector<float> re, im;
        makeSignal(n, re, im);
        const std::vector<float> re0 = re, im0 = im;
        std::vector<float> re2 = re, im2 = im;
        const MTools::MFft fft(bits);

        Math::fftForward(n, re.data(), im.data());
        Math::fftInverse(n, re.data(), im.data());
        fft.transform(re2.data(), im2.data(), false);
        fft.transform(re2.data(), im2.data(), true);

        for (int i = 0; i < n; ++i) {
            QVERIFY(std::fabs(re[i] - re0[i]) < 1e-4 && std::fabs(im[i] - im0[i]) < 1e-4);
            QVERIFY(std::fabs(re2[i] - re0[i]) < 1e-4 && std::fabs(im2[i] - im0[i]) < 1e-4);
        }
    }

    void refusesBadLengthsWithoutTouchingData_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -4;
        QTest::newRow("six") << 6;
        QTest::newRow("twelve") << 12;
    }
    void refusesBadLengthsWithoutTouchingData()
    {
        QFETCH(int, n);
        std::vector<float> re(16, 3.0f), im(16, -1.0f);

        Math::fftForward(n, re.data(), im.data());
        Math::fftInverse(n, re.data(), im.data());

        QCOMPARE(re, std::vector<float>(16, 3.0f));
        QCOMPARE(im, std::vector<float>(16, -1.0f));
    }

    void mfftRefusesBitsOutsideTable()
    {
        std::vector<float> re(4, 2.0f), im(4, 0.0f);
        const MTools::MFft tooMany(16);
        const MTools::MFft negative(-1);

        tooMany.transform(re.data(), im.data(), false);
        negative.transform(re.data(), im.data(), true);

        QCOMPARE(tooMany.size(), 0);
        QCOMPARE(re, std::vector<float>(4, 2.0f));
    }

    void degreeTables_data()
    {
        QTest::addColumn<int>("degrees");
        for (int d : {0, 30, 45, 90, 135, 180, 270, 359, 360, 450, -90, -721})
            QTest::newRow(qPrintable(QString::number(d))) << d;
    }
    void degreeTables()
    {
        QFETCH(int, degrees);
        const double rad = degrees * M_PI / 180.0;
        QVERIFY(std::fabs(Math::sineAt(degrees) - std::sin(rad)) < 1e-5);
        QVERIFY(std::fabs(Math::cosineAt(degrees) - std::cos(rad)) < 1e-5);
        QCOMPARE(&Math::cosineAt(degrees), &Math::cosineAt(((degrees % 360) + 360) % 360));
    }

    void tanAtFromTables()
    {
        QVERIFY(std::fabs(Math::tanAt(45) - 1.0f) < 1e-5);
        QVERIFY(std::fabs(Math::tanAt(-45) + 1.0f) < 1e-5);
    }

    void elementaryFunctions_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<float>("x");
        QTest::addColumn<double>("expected");
        for (float x : {0.0f, 0.5f, -1.2f, 3.0f, 10.0f, -40.0f}) {
            QTest::newRow(qPrintable(QString("sine %1").arg(x))) << "sine" << x << std::sin(double(x));
            QTest::newRow(qPrintable(QString("cosine %1").arg(x))) << "cosine" << x << std::cos(double(x));
        }
        for (float x : {0.0f, 1.0f, -2.5f, 5.0f, -20.0f})
            QTest::newRow(qPrintable(QString("exponential %1").arg(x))) << "exponential" << x << std::exp(double(x));
        for (float x : {0.01f, 0.3f, 1.0f, 1.5f, 2.0f, 1000.0f})
            QTest::newRow(qPrintable(QString("logarithm %1").arg(x))) << "logarithm" << x << std::log(double(x));
        for (float x : {0.0f, 0.3f, -0.9f, 1.0f, 25.0f, -1e6f})
            QTest::newRow(qPrintable(QString("arcTan %1").arg(x))) << "arcTan" << x << std::atan(double(x));
        for (float x : {0.0f, 0.5f, -0.8f, 0.99f})
            QTest::newRow(qPrintable(QString("arcCos %1").arg(x))) << "arcCos" << x << std::acos(double(x));
        for (float x : {0.0f, 2.0f, 4.0f, 1e-4f, 1e6f, 1e30f})
            QTest::newRow(qPrintable(QString("squareRoot %1").arg(x))) << "squareRoot" << x << std::sqrt(double(x));
        for (float x : {0.5f, 1.7f, 9.0f})
            QTest::newRow(qPrintable(QString("generalPower %1^1.5").arg(x))) << "generalPower" << x << std::pow(double(x), 1.5);
    }
    void elementaryFunctions()
    {
        QFETCH(QString, function);
        QFETCH(float, x);
        QFETCH(double, expected);
        const double got = evaluate(function, x, 1.5f);
        const double tolerance = 1e-5 * std::max(1.0, std::fabs(expected));
        QVERIFY2(std::fabs(got - expected) <= tolerance,
                 qPrintable(QString("%1 != %2").arg(got).arg(expected)));
    }

    // Every function against the standard library over a sweep of arguments,
    // negative ones included. The error is measured relative to the expected
    // value, or to 1 for the bounded trigonometric results; NaN must match NaN.
    void agreesWithStandardLibrary_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<double>("expected");
        const auto row = [](const char *name, float x, float y, double expected) {
            if (std::fabs(expected) > FLT_MAX)
                expected = std::copysign(HUGE_VAL, expected); // overflows a float
            const QString label = QString("%1(%2, %3)").arg(name).arg(double(x), 0, 'g', 9).arg(double(y), 0, 'g', 9);
            QTest::newRow(qPrintable(label)) << QString(name) << x << y << expected;
        };
        for (float x = -60.0f; x <= 60.0f; x += 0.73f) {
            row("sine", x, 0, std::sin(double(x)));
            row("cosine", x, 0, std::cos(double(x)));
            if (std::fabs(std::cos(double(x))) > 0.05)
                row("secant", x, 0, 1.0 / std::cos(double(x)));
        }
        for (float x = -87.0f; x <= 88.0f; x += 0.5f)
            row("exponential", x, 0, std::exp(double(x)));
        for (float x : {-103.0f, -95.5f, -88.7f})
            row("exponential", x, 0, std::exp(double(x)));
        for (float x : {-5.0f, -0.5f, 0.0f, 1e-30f, 1e-6f, 0.05f, 0.5f, 0.999f, 1.0f, 1.001f, 1.999f,
                        2.0f, 7.5f, 1e4f, 3e38f})
            row("logarithm", x, 0, std::log(double(x)));
        for (float x = -30.0f; x <= 30.0f; x += 0.61f) {
            row("arcTan", x, 0, std::atan(double(x)));
            row("shiftedArcTan", x, 0, std::atan(double(x)) + M_PI / 2);
        }
        for (float x : {-1e30f, -1e6f, 1e6f, 1e30f})
            row("arcTan", x, 0, std::atan(double(x)));
        for (float x = -1.0f; x <= 1.0f; x += 0.0625f)
            row("arcCos", x, 0, std::acos(double(x)));
        for (float x : {-2.0f, -1.0f, 0.0f, 1e-20f, 1e-4f, 0.3f, 2.0f, 17.0f, 1e6f, 1e30f, 3e38f})
            row("squareRoot", x, 0, std::sqrt(double(x)));
        for (float x : {-3.0f, -1.5f, -1.0f, 0.5f, 2.0f, 10.0f})
            for (int n : {0, 1, 2, 5, 12, 25})
                row("power", x, float(n), std::pow(double(x), n));
        for (float x : {-4.0f, -2.0f, 0.0f, 0.01f, 0.2f, 0.5f, 0.9f, 1.0f, 1.3f, 1.9f, 2.0f, 3.0f, 10.0f, 1e5f})
            for (float a : {-12.5f, -3.0f, -0.5f, 0.0f, 0.5f, 1.5f, 2.0f, 5.5f, 12.5f})
                row("generalPower", x, a, std::pow(double(x), double(a)));
        // Large exponents near 1, where the binomial terms cancel, and bases
        // just below 2, where the logarithm's series converges slowest.
        for (float x : {0.5f, 0.7f, 0.95f, 1.2f, 1.5f, 1.9999999f})
            for (float a : {-200.0f, -100.0f, -60.5f, 60.5f, 100.25f, 200.0f, 1e6f})
                row("generalPower", x, a, std::pow(double(x), double(a)));
        for (float x : {-2.0f, -0.5f})
            for (float a : {-3e9f, 3e9f})
                row("generalPower", x, a, std::pow(double(x), double(a)));
        for (float x : {0.70710677f, 1.4142135f, 1.99f, 1.9999999f, 1.99999988f})
            row("logarithm", x, 0, std::log(double(x)));
        // Products that overflow keep the sign of the power; long ones keep their digits.
        for (float x : {-10.0f, -1e30f, 1.0000001f, 0.99999994f})
            for (int n : {3, 39, 40, 100000})
                row("power", x, float(n), std::pow(double(x), n));
        // Arguments far beyond 2^24, where every float is a whole number.
        for (float x : {1e10f, -3.3e15f, 1.3335e21f, 7.2443594e35f, 3.4e38f}) {
            row("sine", x, 0, std::sin(double(x)));
            row("cosine", x, 0, std::cos(double(x)));
        }
        for (float x : {0.99f, 0.9999f, 0.99999994f, -0.99999994f})
            row("arcCos", x, 0, std::acos(double(x)));
        for (float x : {-1e3f, -1e6f})
            row("shiftedArcTan", x, 0, std::atan(double(x)) + M_PI / 2);
        for (int n = 0; n <= 12; ++n)
            row("factorial", float(n), 0, std::tgamma(n + 1.0));
        for (int n = 0; n <= 34; n += 3)
            row("factorialF", float(n), 0, std::tgamma(n + 1.0));
        for (float x : {-7.75f, -1.0f, -0.25f, 0.0f, 0.25f, 3.5f, 1e20f}) {
            row("absolute", x, 0, std::fabs(double(x)));
            row("truncate", x, 0, std::trunc(double(x)));
            row("maximum", x, 0.5f, std::fmax(double(x), 0.5));
            row("minimum", x, 0.5f, std::fmin(double(x), 0.5));
        }
        for (int d : {-720, -45, -1, 0, 1, 90, 359, 1000})
            row("degreesToRadians", float(d), 0, d * M_PI / 180.0);
    }
    void agreesWithStandardLibrary()
    {
        QFETCH(QString, function);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(double, expected);
        const double got = evaluate(function, x, y);
        if (std::isnan(expected)) {
            QVERIFY2(std::isnan(got), qPrintable(QString::number(got)));
            return;
        }
        if (std::isinf(expected)) {
            QCOMPARE(got, expected);
            return;
        }
        const bool bounded = function == "sine" || function == "cosine";
        const double scale = bounded ? 1.0 : std::max(std::fabs(expected), double(FLT_MIN));
        QVERIFY2(std::fabs(got - expected) <= 2e-6 * scale,
                 qPrintable(QString("%1 != %2").arg(got, 0, 'g', 9).arg(expected, 0, 'g', 9)));
    }

    void noRealResultGivesNan()
    {
        QVERIFY(std::isnan(Math::logarithm(-1.0f)));
        QVERIFY(std::isnan(Math::squareRoot(-4.0f)));
        QVERIFY(std::isnan(Math::arcCos(1.5f)));
        QVERIFY(std::isnan(Math::generalPower(-2.0f, 0.5f)));
    }

    void powersAndFactorials()
    {
        QCOMPARE(Math::power(2.0f, 0), 1.0f);
        QCOMPARE(Math::power(2.0f, -3), 1.0f);
        QCOMPARE(Math::power(2.0f, 10), 1024.0f);
        QCOMPARE(Math::factorial(0), 1);
        QCOMPARE(Math::factorial(5), 120);
        QCOMPARE(Math::factorial(12), 479001600);
        QCOMPARE(Math::factorial(13), INT_MAX); // would overflow an int
        QCOMPARE(Math::factorial(-3), 0);
        QCOMPARE(Math::factorialF(0.0f), 1.0f);
        QCOMPARE(Math::factorialF(5.0f), 120.0f);
        QCOMPARE(Math::factorialF(2.5f), 2.5f * 1.5f * 0.5f);
        QVERIFY(std::isinf(Math::factorialF(1e30f)));
        QCOMPARE(Math::truncate(-2.7f), -2.0f);
    }

    void sineOfTinyValueIsTheValue()
    {
        QCOMPARE(Math::sine(1e-11f), 1e-11f);
    }

    void squareRootWithCoarsePrecisionIsOne()
    {
        Math::setPrecision(1.0f);
        QCOMPARE(Math::squareRoot(9.0f), 1.0f);
    }

    void integrateUsesFiftyLeftPoints()
    {
        QVERIFY(std::fabs(Math::integrate(0.0f, 1.0f, [](float) -> long double { return 1.0L; }) - 1.0f) < 1e-6f);
        // Left-point sum of x over [0, 1]: 0.02^2 * (0 + ... + 49) = 0.49.
        QVERIFY(std::fabs(Math::integrate(0.0f, 1.0f, [](float x) -> long double { return x; }) - 0.49f) < 1e-5f);
        QCOMPARE(Math::integrate(1.0f, 1.0f, [](float) -> long double { return 1.0L; }), 0.0f);
        QCOMPARE(Math::integrate(2.0f, 1.0f, [](float) -> long double { return 1.0L; }), 0.0f);
    }
};

GLYPH_TEST_MAIN(TestFft)
#include "tst_fft.moc"
