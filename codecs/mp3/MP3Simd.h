#pragma once

#include <cstdint>
#include <cstring>

// Four-lane float vectors over the compiler's vector extension: SSE on x86-64,
// NEON on ARM, plain code elsewhere. The decoder also keeps scalar loops for
// every vector one, chosen per decoder, so tests cover both paths.
typedef float MP3V4 __attribute__((vector_size(16)));
typedef int32_t MP3I4 __attribute__((vector_size(16)));

inline MP3V4 MP3Load(const float* p)
{
    MP3V4 v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}
inline void MP3Store(float* p, MP3V4 v)
{
    std::memcpy(p, &v, sizeof(v));
}
inline MP3V4 MP3Splat(float f)
{
    return MP3V4 { f, f, f, f };
}
inline MP3V4 MP3Min(MP3V4 a, MP3V4 b)
{
    return a < b ? a : b;
}
inline MP3V4 MP3Max(MP3V4 a, MP3V4 b)
{
    return a > b ? a : b;
}
// Truncates toward zero; lanes must already be within the int32 range.
inline MP3I4 MP3ToInt(MP3V4 v)
{
    return __builtin_convertvector(v, MP3I4);
}

// Eight-lane vectors for the hot loops, in functions marked MP3_WIDE: those
// are built twice, for AVX2 and for the base instruction set, and the
// processor picks one when the program loads. The lane width changes no
// result: every lane does the same multiplications and additions in the
// same order, and neither build contracts them into fused operations.
// The choice runs before any sanitizer runtime is ready, which ThreadSanitizer
// does not survive: its builds take the base set only.
typedef float MP3V8 __attribute__((vector_size(32)));
#if defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define MP3_WIDE __attribute__((target_clones("avx2", "default")))
#else
#define MP3_WIDE
#endif

inline MP3V8 MP3Load8(const float* p)
{
    MP3V8 v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}
inline void MP3Store8(float* p, MP3V8 v)
{
    std::memcpy(p, &v, sizeof(v));
}
