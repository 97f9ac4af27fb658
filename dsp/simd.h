#pragma once
// Run-time choice of vector width for the hot loops: the default build targets
// plain x86-64, and a function marked DSP_CLONES also gets AVX2 and AVX-512
// bodies picked by the loader on the machine it runs on. Fused multiply-add
// stays off (-ffp-contract=off), so every clone rounds exactly like the
// scalar code.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define DSP_CLONES __attribute__((target_clones("default", "avx2", "arch=x86-64-v4")))
#else
#define DSP_CLONES
#endif

#define DSP_INLINE [[gnu::always_inline]] inline
