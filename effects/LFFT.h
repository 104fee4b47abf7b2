#pragma once

#include <cstdint>
#include <vector>

// A radix-2 transform of 2^order complex points (real and imaginary parts in
// separate arrays) with its bit-reversal and cosine / sine tables, built
// once; afterwards it only reads its tables, so one object may serve any
// number of threads.
//
// The twiddles are rounded once from long double, so each lies within
// 2^-53 and a trace of e^(-2 pi i k / N): the error bound of the
// equalizer's convolution counts on that.
class LFFT {
public:
    explicit LFFT(int iOrder);

    int Size() const { return n; }
    // In place; the result in natural order, multiplied by 1/N.
    void Transform(std::vector<double>& re, std::vector<double>& im) const;
    // The forward transform without scaling, in place, leaving the result in
    // bit-reversed order (decimation in frequency).
    void ForwardScrambled(double* re, double* im) const;
    // The inverse transform without the 1/N, in place, of values in
    // bit-reversed order, leaving the result in natural order (decimation in
    // time). With ForwardScrambled a convolution needs no reordering.
    void InverseScrambled(double* re, double* im) const;

private:
    int iOrder, n;
    std::vector<uint32_t> reverse;
    // cos and sin of 2 pi j / (2 h) for the butterflies of half-span h, at
    // [h - 1 + j] (j < h), so every pass reads them in order.
    std::vector<double> twCos, twSin;
};
