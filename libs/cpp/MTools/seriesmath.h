#pragma once

#include <functional>

namespace MTools {

// Elementary functions from their power series (square roots by Newton's
// iteration) to a process-wide precision, sine and cosine tables by whole
// degrees, a left-point integral and in-place radix-2 Fourier transforms.
// All state is process-wide; a global instance built before main sets the
// precision to 1e-10 and fills the degree tables. Not thread-safe while the
// precision is being changed.
//
// Every series stops when two successive partial sums differ in magnitude by
// no more than the precision, or after a fixed number of terms. Arguments
// outside a series' region of convergence are mapped into it by the usual
// identities; arguments without a real result give NaN.
class Math
{
public:
    // The first construction sets the precision and builds the degree tables;
    // later ones only count.
    explicit Math(float precision);
    virtual ~Math();

    static void setPrecision(float precision);
    static float precision();
    static int instanceCount();

    static float sine(float x);
    static float cosine(float x);
    static float secant(float x);
    static float exponential(float x);
    static float logarithm(float x);
    static float arcTan(float x);
    static float arcCos(float x);
    static float shiftedArcTan(float x);
    static float squareRoot(float x);
    static float power(float x, int n);
    static float generalPower(float x, float a);
    // n! for n from 0 to 12; 0 for negative n, the largest int past 12! (which overflows).
    static int factorial(int n);
    // x·(x−1)·… while the factor is above 0; 1 for x of 0 or less.
    static float factorialF(float x);
    static float absolute(float x);
    static float maximum(float x, float y);
    static float minimum(float x, float y);
    static float truncate(float x);
    static float degreesToRadians(int degrees);

    // Table entries by whole degrees; any int is taken modulo 360 into 0..359.
    static const float &sineAt(int degrees);
    static const float &cosineAt(int degrees);
    static float tanAt(int degrees);

    // Left-point sum over 50 steps; 0 when b is not above a + step.
    static float integrate(float a, float b, const std::function<long double(float)> &f);

    // In place over n complex values. n must be a power of two (1 included);
    // any other n, or null arrays, leaves the arrays untouched. The forward
    // transform divides by n, the inverse does not scale.
    static void fftForward(int n, float *real, float *imag);
    static void fftInverse(int n, float *real, float *imag);
};

} // namespace MTools
