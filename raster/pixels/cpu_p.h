// Vector unit used by the raster kernels: chosen once from the processor,
// lowered by tests so that every kernel is checked against the reference.
#pragma once

enum PxSimd { kPxScalar = 0, kPxSse2 = 1, kPxAvx2 = 2 };

PxSimd px_simd();
// Caps the level used from now on (never raises it above what the CPU has).
void px_limit_simd(PxSimd level);
