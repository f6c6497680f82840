// Vector unit used by the raster kernels: chosen once from the processor,
// lowered by tests so that every kernel is checked against the reference.
#pragma once

enum LiceSimd { kLiceScalar = 0, kLiceSse2 = 1, kLiceAvx2 = 2 };

LiceSimd lice_simd();
// Caps the level used from now on (never raises it above what the CPU has).
void lice_limit_simd(LiceSimd level);
