#pragma once

#include <cstddef>
#include <cstdint>

// The mean of (s >> 5)^2 over nSamples samples, one every uStride, exact
// (truncated) for any 32-bit input: each square is kept as its part above 13
// bits and its low 13 bits, summed in 64 bits. 0 for no samples.
uint64_t MeanSquare(const int32_t* p, size_t nSamples, size_t uStride = 1);

// The block level of the dynamics processors: 10 log10(mean square /
// 8388626) rounded half away from zero, within -127..127; a mean of 0 is
// -127. 0 dB is a sine peaking about 12 dB below full scale.
int MeanSquareLevelDb(const int32_t* p, size_t nSamples, size_t uStride = 1);
