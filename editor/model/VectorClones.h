#pragma once

// Marks a hot loop function to be compiled twice, for AVX2 and for the base
// instruction set; the loader picks the version once per process, so there is
// no dispatch per pixel.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define PIXVEL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define PIXVEL_VECTOR_CLONES
#endif
