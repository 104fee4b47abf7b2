#pragma once

// Put before a free function holding a hot loop: on x86-64 the function is
// built twice, for AVX2 and for the baseline, and the processor's one is
// picked when the program loads (32-bit multiplies and 4-double lanes need
// AVX2). Not under the address sanitizer, whose start-up runs after the
// pick.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define ORV_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORV_VECTOR_CLONES
#endif
