#pragma once

// Put before a free function holding a hot loop: on x86-64 the function is
// built twice, for AVX2 and for the baseline, and the processor's one is
// picked when the program loads (32-bit multiplies and 4-double lanes need
// AVX2). Not under a sanitizer, whose start-up runs after the pick.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)                            \
    || __has_feature(memory_sanitizer)
#define ORV_NO_VECTOR_CLONES 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORV_NO_VECTOR_CLONES 1
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(ORV_NO_VECTOR_CLONES)
#define ORV_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORV_VECTOR_CLONES
#endif
