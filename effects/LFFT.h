#pragma once

#include <cstdint>
#include <vector>

// A transform of 2^order complex points (order 1 or more; real and imaginary
// parts in separate arrays) by radix-4 passes, with one radix-2 pass when the
// order is odd, and its bit-reversal and twiddle tables, built once;
// afterwards it only reads its tables, so one object may serve any number of
// threads.
//
// The twiddles are rounded once from long double, so each lies within
// 2^-53 of e^(-2 pi i k / N): the error bound of the equalizer's convolution
// counts on that, and on every pass being a level of sums and differences
// (some of them times +-i, which is exact) followed by one level of twiddle
// products.
class LFFT {
public:
    // The twiddles' grouping: one vector of doubles.
    static constexpr int kLanes = 4;

    explicit LFFT(int iOrder);

    int Size() const { return n; }
    // In place; the result in natural order, multiplied by 1/N.
    void Transform(std::vector<double>& re, std::vector<double>& im) const;
    // The forward transform without scaling, in place, leaving the result in
    // bit-reversed order (decimation in frequency).
    void ForwardScrambled(double* re, double* im) const;
    // Cyclic convolution in place: the forward transform, each point times
    // spectrum[i] (real, in the order ForwardScrambled leaves), and the
    // inverse transform without the 1/N (decimation in time), back in natural
    // order. The passes run depth first, so most of them find their data in
    // the processor's first cache.
    void Convolve(double* re, double* im, const double* spectrum) const;

private:
    // Convolve for size points from re / im (a part that the forward
    // passes so far left independent of the rest).
    void ConvolvePart(double* re, double* im, const double* spectrum, int size) const;
    static constexpr int kCachedPoints = 1024;
    const double* Twiddles(int q) const { return twiddles.data() + 2 * (q - iFirstQuarter); }

    int iOrder, n;
    // The passes with twiddles have quarter spans n/4, n/16, ... down to
    // iFirstQuarter (4, or 2 for an odd order); the last pass needs none.
    int iFirstQuarter;
    std::vector<uint32_t> reverse;
    // Per pass of quarter span q, at 2 (q - iFirstQuarter): cos and sin of
    // 2 pi r j / (4 q) for r = 1, 2, 3, by groups of kLanes consecutive j
    // (q if smaller), each group as six rows: cos and sin for r = 1, 2, 3.
    std::vector<double> twiddles;
};
