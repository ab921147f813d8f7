#include "seriesmath.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>

namespace {

const float kPi = 3.1415927f;
const float kHalfPi = 1.5707964f;
// A series that has not settled after this many terms returns its current sum.
const int kMaxTerms = 10000;
const int kMaxNewtonSteps = 200;

float g_precision = 1e-10f;
float g_sine[360];
float g_cosine[360];
int g_instances = 0;

// Stopping rule shared by all series.
template <typename T>
bool settled(T previous, T current)
{
    return std::fabs(std::fabs(current) - std::fabs(previous)) <= T(g_precision);
}

bool isPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

void fft(int n, float *re, float *im, bool inverse)
{
    if (!isPowerOfTwo(n) || !re || !im) {
        qDebug("MTools::Math: FFT length %d is not a power of two", n);
        return;
    }
    if (n == 1)
        return;
    int bits = 0;
    while ((1 << bits) < n)
        ++bits;
    for (int i = 0; i < n; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        if (i < r) {
            std::swap(re[i], re[r]);
            std::swap(im[i], im[r]);
        }
    }
    for (int span = 2; span <= n; span *= 2) {
        const int half = span / 2;
        const float angle = kPi / float(half);
        const float c = MTools::Math::cosine(angle);
        const float s = inverse ? MTools::Math::sine(angle) : -MTools::Math::sine(angle);
        float wr = 1.0f;
        float wi = 0.0f;
        for (int k = 0; k < half; ++k) {
            for (int p = k; p < n; p += span) {
                const int q = p + half;
                const float tr = wr * re[q] - wi * im[q];
                const float ti = wr * im[q] + wi * re[q];
                re[q] = re[p] - tr;
                im[q] = im[p] - ti;
                re[p] += tr;
                im[p] += ti;
            }
            const float nr = wr * c - wi * s;
            wi = wr * s + wi * c;
            wr = nr;
        }
    }
    if (!inverse) {
        for (int i = 0; i < n; ++i) {
            re[i] /= float(n);
            im[i] /= float(n);
        }
    }
}

// Bits of 2/pi, most significant first: 2/pi = 0.A2F9836E 4E441529 ... in hex.
// Eight words cover every float: the largest one needs bits up to the 230th.
const quint32 kTwoOverPi[8] = {0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0,
                               0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561};
const long double kHalfPiL = 1.570796326794896619231321691639751442L;

// Reduces x modulo pi/2: returns r in [-pi/4, pi/4] and the quadrant q in
// 0..3 with x = r + q*pi/2 modulo 2*pi. A float is an integer m < 2^24 times
// 2^e, and floats above 2^24 are whole numbers, so a rounded pi would leave an
// error as large as the angle. Instead x*2/pi is formed modulo 4 exactly from
// the bits of 2/pi: the bits whose weight times m*2^e is a multiple of 4
// (whole turns) are skipped, and the next 128 bits times m give the quadrant
// and at least 100 bits of the fraction, enough for the closest a float comes
// to a multiple of pi/2.
long double reduceQuarterTurns(float x, int *quadrant)
{
    *quadrant = 0;
    if (std::fabs(x) <= 0.7853982f)
        return x;
    int exponent = 0;
    const float mantissa = std::frexp(std::fabs(x), &exponent);
    const quint64 m = quint64(std::ldexp(mantissa, 24)); // |x| = m * 2^e
    const int e = exponent - 24;
    const int skip = std::max(0, e - 2);
    quint32 w[4]; // the 128 bits of 2/pi after the skipped ones
    for (int k = 0; k < 4; ++k) {
        const int word = (skip + 32 * k) / 32;
        const int shift = (skip + 32 * k) % 32;
        w[k] = shift == 0 ? kTwoOverPi[word]
                          : (kTwoOverPi[word] << shift) | (kTwoOverPi[word + 1] >> (32 - shift));
    }
    quint32 p[5]; // m * w, most significant word first
    quint64 carry = 0;
    for (int k = 3; k >= 0; --k) {
        const quint64 t = m * w[k] + carry;
        p[k + 1] = quint32(t);
        carry = t >> 32;
    }
    p[0] = quint32(carry);
    // x*2/pi modulo 4 as 2 integer and 126 fraction bits.
    const int down = e - skip < 2 ? 2 - (e - skip) : 0;
    quint32 t[4];
    for (int k = 0; k < 4; ++k)
        t[k] = down == 0 ? p[k + 1] : (p[k + 1] >> down) | (p[k] << (32 - down));
    // Rounded to the nearest quadrant; the fraction left lies in [-1/2, 1/2).
    t[0] += 1u << 29;
    int q = int(t[0] >> 30);
    const qint64 high = qint64(t[0] & 0x3FFFFFFFu) - (qint64(1) << 29);
    const long double fraction =
        ((long double)(high * 4294967296LL + qint64(t[1]))
         + ((long double)(t[2]) + (long double)(t[3]) / 4294967296.0L) / 4294967296.0L)
        / 4611686018427387904.0L; // 2^62
    long double r = fraction * kHalfPiL;
    if (x < 0) {
        r = -r;
        q = (4 - q) & 3;
    }
    *quadrant = q;
    return r;
}

// The sine series (from r) or the cosine series (from 1) for |r| <= pi/4,
// each term formed from the one before, summed in extended precision under
// the shared stopping rule.
long double trigSeries(long double r, bool sine)
{
    long double sum = sine ? r : 1.0L;
    if (sine && settled(0.0L, sum))
        return sum;
    long double term = sum;
    for (int k = 1; k <= kMaxTerms; ++k) {
        const int n = sine ? 2 * k + 1 : 2 * k; // the power of r in this term
        term *= -r * r / ((n - 1) * n);
        const long double next = sum + term;
        if (settled(sum, next))
            return next;
        sum = next;
    }
    return sum;
}

// ln of m in [1/2, 2) by the series in m - 1.
long double logSeriesNearOne(long double m)
{
    const long double d = m - 1.0L;
    long double sum = 0.0L;
    long double next = d;
    long double dp = d; // (m - 1)^(k+1)
    for (int k = 1; !settled(sum, next) && k <= kMaxTerms; ++k) {
        sum = next;
        dp *= d;
        const long double term = dp / (k + 1);
        next = (k % 2) ? sum - term : sum + term;
    }
    return next;
}

// ln x in double. The series converges only for 0 < x < 2, and slowly near
// both ends: x = m * 2^e with m in [1/sqrt 2, sqrt 2), where |m - 1| < 0.42,
// ln x = ln m + e * ln 2 and ln 2 = -ln(1/2).
double logSeries(double x)
{
    if (std::isnan(x) || x < 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0)
        return -std::numeric_limits<double>::infinity();
    if (std::isinf(x))
        return x;
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752) { // 1/sqrt 2
        m *= 2;
        --e;
    }
    long double result = logSeriesNearOne(m);
    if (e != 0)
        result -= (long double)(e) * logSeriesNearOne(0.5L);
    return double(result);
}

// e^x in double: the series is summed on an argument halved into [-1/2, 1/2],
// each term formed from the one before (term *= x / k) so neither a power nor
// a factorial can overflow, and the result is squared back once per halving.
// The series stops at the first term below the sum's precision; a negative
// argument is the reciprocal of its opposite.
double expSeries(double x)
{
    if (std::isinf(x))
        return x > 0 ? x : 0.0;
    if (x < 0)
        return 1.0 / expSeries(-x);
    int halvings = 0;
    while (x > 0.5 && halvings < 2000) {
        x /= 2;
        ++halvings;
    }
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k <= kMaxTerms; ++k) {
        term *= x / k;
        sum += term;
        if (term <= sum * std::numeric_limits<double>::epsilon())
            break;
    }
    for (int i = 0; i < halvings && std::isfinite(sum); ++i)
        sum *= sum;
    return sum;
}

// x^n for n >= 0 by repeated squaring in extended precision: about log2 n
// multiplications, a relative error near n times the extended epsilon (far
// below a float's for any int n), and intermediate products whose range far
// exceeds a float's, so only the final rounding overflows or underflows.
long double productPower(long double x, quint64 n)
{
    long double result = 1.0L;
    while (n) {
        if (n & 1)
            result *= x;
        n >>= 1;
        if (n)
            x *= x;
    }
    return result;
}

} // namespace

namespace MTools {

Math::Math(float precision)
{
    if (g_instances == 0) {
        g_precision = precision;
        for (int d = 359; d >= 0; --d) {
            const float angle = float(d) * kPi / 180.0f;
            g_sine[d] = sine(angle);
            g_cosine[d] = cosine(angle);
        }
    }
    ++g_instances;
}

Math::~Math() = default;

void Math::setPrecision(float precision)
{
    g_precision = precision;
}

float Math::precision()
{
    return g_precision;
}

int Math::instanceCount()
{
    return g_instances;
}

float Math::sine(float x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<float>::quiet_NaN();
    int quadrant = 0;
    const long double r = reduceQuarterTurns(x, &quadrant);
    switch (quadrant) {
    case 0: return float(trigSeries(r, true));
    case 1: return float(trigSeries(r, false));
    case 2: return float(-trigSeries(r, true));
    default: return float(-trigSeries(r, false));
    }
}

float Math::cosine(float x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<float>::quiet_NaN();
    int quadrant = 0;
    const long double r = reduceQuarterTurns(x, &quadrant);
    switch (quadrant) {
    case 0: return float(trigSeries(r, false));
    case 1: return float(-trigSeries(r, true));
    case 2: return float(-trigSeries(r, false));
    default: return float(trigSeries(r, true));
    }
}

float Math::secant(float x)
{
    return 1.0f / cosine(x);
}

float Math::exponential(float x)
{
    if (std::isnan(x))
        return x;
    return float(expSeries(double(x)));
}

float Math::logarithm(float x)
{
    return float(logSeries(double(x)));
}

float Math::arcTan(float x)
{
    if (std::isnan(x))
        return x;
    // Outside [-1, 1] the series diverges: arctan x = ±pi/2 - arctan(1/x).
    if (x > 1.0f)
        return kHalfPi - arcTan(1.0f / x);
    if (x < -1.0f)
        return -kHalfPi - arcTan(1.0f / x);
    // Near ±1 it barely converges: halve the angle first.
    if (std::fabs(x) > 0.5f)
        return 2.0f * arcTan(float(double(x) / (1.0 + std::sqrt(1.0 + double(x) * double(x)))));
    const long double lx = x;
    long double sum = 0.0L;
    long double next = lx;
    long double xp = lx; // x^(2k+1)
    for (int k = 1; !settled(sum, next) && k <= kMaxTerms; ++k) {
        sum = next;
        xp *= lx * lx;
        const long double term = xp / (2 * k + 1);
        next = (k % 2) ? sum - term : sum + term;
    }
    return float(next);
}

float Math::arcCos(float x)
{
    if (std::isnan(x) || x > 1.0f || x < -1.0f)
        return std::numeric_limits<float>::quiet_NaN();
    // 1 - x^2 as (1 - x)(1 + x), which keeps its digits near x = ±1.
    const float root = squareRoot(float((1.0 - double(x)) * (1.0 + double(x))));
    if (root == 0.0f)
        return x > 0 ? 0.0f : kPi;
    // Near 1 the angle is small and pi/2 - arctan(x/root) would cancel to
    // nothing; arctan(root/x) is the same angle.
    if (x > 0.5f)
        return arcTan(root / x);
    return kHalfPi - arcTan(x / root);
}

float Math::shiftedArcTan(float x)
{
    // Below -1 the sum would cancel: arctan x + pi/2 = -arctan(1/x) there.
    if (x < -1.0f)
        return -arcTan(1.0f / x);
    return arcTan(x) + kHalfPi;
}

float Math::squareRoot(float x)
{
    if (g_precision >= 1.0f)
        return 1.0f;
    if (std::isnan(x) || x < 0)
        return std::numeric_limits<float>::quiet_NaN();
    if (std::isinf(x) || x == 0)
        return x;
    float r = 1.0f;
    float before = 0.0f; // the value two steps back, to catch a two-value cycle
    for (int i = 0; i < kMaxNewtonSteps; ++i) {
        const float next = (r + x / r) / 2.0f;
        // Below 1 the step is judged relative to the root, so small roots
        // keep their leading digits.
        if (std::fabs(next - r) <= g_precision * std::min(1.0f, next) || next == before)
            return next;
        before = r;
        r = next;
    }
    return r;
}

float Math::power(float x, int n)
{
    if (n <= 0)
        return 1.0f;
    return float(productPower(x, quint64(n)));
}

float Math::generalPower(float x, float a)
{
    if (a == 0.0f || x == 1.0f)
        return 1.0f;
    if (std::isnan(x) || std::isnan(a))
        return std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Floats of 2^24 and above are even whole numbers.
    const bool whole = std::trunc(a) == a;
    const bool odd = whole && std::fabs(a) < 16777216.0f && std::fmod(a, 2.0f) != 0.0f;
    if (std::isinf(a)) {
        if (std::fabs(x) == 1.0f)
            return 1.0f;
        return (std::fabs(x) > 1.0f) == (a > 0) ? inf : 0.0f;
    }
    if (std::isinf(x) || x == 0.0f) {
        // Zero and infinity keep their sign under odd powers.
        const float magnitude = (a > 0) == std::isinf(x) ? inf : 0.0f;
        return odd && std::signbit(x) ? -magnitude : magnitude;
    }
    if (x < 0.0f) {
        if (!whole)
            return std::numeric_limits<float>::quiet_NaN();
        const float p = generalPower(-x, a);
        return odd ? -p : p;
    }
    // The binomial series around 1 is used only where |a (x - 1)| is small:
    // its terms grow to about (1 + |x - 1|)^|a| before they cancel, and here
    // they stay below e^(1/2). Elsewhere whole exponents are products and
    // others e^(a ln x), in double so the product a ln x keeps the result's
    // precision.
    const double d = double(x) - 1.0;
    if (std::fabs(d) <= 0.5 && std::fabs(double(a) * d) <= 0.5) {
        double sum = 1.0;
        double term = 1.0; // a(a-1)...(a-k+1) (x-1)^k / k!
        for (int k = 1; k <= kMaxTerms; ++k) {
            term *= (double(a) - double(k - 1)) / double(k) * d;
            sum += term;
            if (std::fabs(term) <= std::fabs(sum) * std::numeric_limits<double>::epsilon())
                break;
        }
        return float(sum);
    }
    if (whole && std::fabs(a) < std::ldexp(1.0f, 63)) { // the count fits 64 bits
        const long double p = productPower(x, quint64(std::fabs(a)));
        return float(a < 0 ? 1.0L / p : p);
    }
    return float(expSeries(double(a) * logSeries(double(x))));
}

int Math::factorial(int n)
{
    if (n < 0)
        return 0;
    qint64 result = 1;
    for (int i = 2; i <= n; ++i) {
        result *= i;
        if (result > INT_MAX)
            return INT_MAX;
    }
    return int(result);
}

float Math::factorialF(float x)
{
    float result = 1.0f;
    while (x > 0.0f) {
        result *= x;
        if (std::isinf(result))
            break;
        x -= 1.0f;
    }
    return result;
}

float Math::absolute(float x)
{
    return x < 0 ? -x : x;
}

float Math::maximum(float x, float y)
{
    return x > y ? x : y;
}

float Math::minimum(float x, float y)
{
    return x < y ? x : y;
}

float Math::truncate(float x)
{
    return std::trunc(x);
}

float Math::degreesToRadians(int degrees)
{
    return float(degrees) * kPi / 180.0f;
}

const float &Math::sineAt(int degrees)
{
    return g_sine[((degrees % 360) + 360) % 360];
}

const float &Math::cosineAt(int degrees)
{
    return g_cosine[((degrees % 360) + 360) % 360];
}

float Math::tanAt(int degrees)
{
    return sineAt(degrees) / cosineAt(degrees);
}

float Math::integrate(float a, float b, const std::function<long double(float)> &f)
{
    const float h = (b - a) / 50.0f;
    if (!(b > a + h) || !f)
        return 0.0f;
    long double sum = 0.0L;
    float x = a;
    for (int k = 0; k < 50; ++k) {
        sum += (long double)(h) * f(x);
        x += h;
    }
    return float(sum);
}

void Math::fftForward(int n, float *real, float *imag)
{
    fft(n, real, imag, false);
}

void Math::fftInverse(int n, float *real, float *imag)
{
    fft(n, real, imag, true);
}

// Sets the precision and fills the degree tables before main runs.
static Math g_math(1e-10f);

} // namespace MTools
