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

// Maps x into [-pi, pi] so the sine and cosine series converge quickly.
float reduceAngle(float x)
{
    if (std::fabs(x) <= kPi)
        return x;
    const double twoPi = 2.0 * 3.14159265358979323846;
    double r = std::fmod(double(x), twoPi);
    if (r > twoPi / 2)
        r -= twoPi;
    else if (r < -twoPi / 2)
        r += twoPi;
    return float(r);
}

// ln x in double. The series converges only for 0 < x < 2 (slowly near both
// ends): x = m * 2^e with m in [0.5, 1), ln x = ln m + e * ln 2 and
// ln 2 = -ln 0.5.
double logSeries(double x)
{
    if (std::isnan(x) || x < 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0)
        return -std::numeric_limits<double>::infinity();
    if (std::isinf(x))
        return x;
    if (x < 0.5 || x >= 2.0) {
        int e = 0;
        const double m = std::frexp(x, &e);
        return logSeries(m) - double(e) * logSeries(0.5);
    }
    const long double d = (long double)(x) - 1.0L;
    long double sum = 0.0L;
    long double next = d;
    long double dp = d; // (x - 1)^(k+1)
    for (int k = 1; !settled(sum, next) && k <= kMaxTerms; ++k) {
        sum = next;
        dp *= d;
        const long double term = dp / (k + 1);
        next = (k % 2) ? sum - term : sum + term;
    }
    return double(next);
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
    x = reduceAngle(x);
    float sum = x;
    if (settled(0.0f, sum))
        return sum;
    for (int k = 1; k <= kMaxTerms; ++k) {
        const float term = power(x, 2 * k + 1) / factorialF(float(2 * k + 1));
        const float next = (k % 2) ? sum - term : sum + term;
        if (settled(sum, next) || !std::isfinite(next))
            return next;
        sum = next;
    }
    return sum;
}

float Math::cosine(float x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<float>::quiet_NaN();
    x = reduceAngle(x);
    float sum = 1.0f;
    for (int k = 1; k <= kMaxTerms; ++k) {
        const float term = power(x, 2 * k) / factorialF(float(2 * k));
        const float next = (k % 2) ? sum - term : sum + term;
        if (settled(sum, next) || !std::isfinite(next))
            return next;
        sum = next;
    }
    return sum;
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
    const float root = squareRoot(1.0f - x * x);
    if (root == 0.0f)
        return x > 0 ? 0.0f : kPi;
    return kHalfPi - arcTan(x / root);
}

float Math::shiftedArcTan(float x)
{
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
    if (n > 0 && (x == 1.0f || x == -1.0f))
        return (x < 0 && n % 2) ? -1.0f : 1.0f;
    float result = 1.0f;
    for (int i = 0; i < n; ++i) {
        result *= x;
        if (result == 0.0f || std::isinf(result) || std::isnan(result))
            break; // further factors cannot change the result
    }
    return result;
}

float Math::generalPower(float x, float a)
{
    if (std::isnan(x) || std::isnan(a))
        return std::numeric_limits<float>::quiet_NaN();
    // Outside 0 < x < 2 the binomial series diverges; whole exponents are
    // plain products there.
    const bool whole = a == std::trunc(a) && std::fabs(a) < float(INT_MAX);
    if (whole && !(x > 0.0f && x < 2.0f)) {
        const float p = power(x, int(std::fabs(a)));
        return a < 0 ? 1.0f / p : p;
    }
    if (x < 0.0f)
        return std::numeric_limits<float>::quiet_NaN();
    if (x == 0.0f)
        return a > 0 ? 0.0f : std::numeric_limits<float>::infinity();
    // The binomial series settles quickly only near 1; elsewhere e^(a ln x),
    // both in double so the product a ln x keeps the result's precision.
    const double d = double(x) - 1.0;
    if (std::fabs(d) > 0.5)
        return float(expSeries(double(a) * logSeries(double(x))));
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
