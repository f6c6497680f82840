// Vector unit used by the raster kernels: chosen once from the processor,
// lowered by tests so that every kernel is checked against the reference.
#pragma once

// kPxAvx512 means AVX-512 BW, VL and VNNI (on 256-bit vectors).
enum PxSimd { kPxScalar = 0, kPxSse2 = 1, kPxAvx2 = 2, kPxAvx512 = 3 };

PxSimd px_simd();
// Caps the level used from now on (never raises it above what the CPU has).
void px_limit_simd(PxSimd level);
