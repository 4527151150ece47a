#pragma once

// Marks a hot loop function to be compiled for AVX-512, AVX2 and the base
// instruction set; the loader picks the version once per process, so there is
// no dispatch per pixel. The files holding such loops are built with
// -ffp-contract=off, so every version rounds alike. Under ThreadSanitizer the
// loader's choice would run instrumented code before the sanitizer is set
// up, so those builds have the base version only.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define PIXVEL_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define PIXVEL_VECTOR_CLONES
#endif
