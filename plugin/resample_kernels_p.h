// Interpolation loops of resample_stereo, one per instruction set; all give
// the same samples bit for bit.
#pragma once

namespace skylane {

// Output frames i in [begin, end) at positions position + i * ratio, whose
// taps all lie in `input` (interleaved stereo; position t reads input frames
// trunc(t) - 6 .. trunc(t) - 3), written to out + 2 i.
using InterpolateFn = void (*)(const float* input, float position, float ratio, int begin, int end,
                               float* out);

void interpolateSse2(const float* input, float position, float ratio, int begin, int end,
                     float* out);
// Requires AVX; two output frames per step.
void interpolateAvx(const float* input, float position, float ratio, int begin, int end,
                    float* out);
// Requires AVX; four output frames per step.
void interpolateAvxQuad(const float* input, float position, float ratio, int begin, int end,
                        float* out);
// Requires AVX-512F; eight output frames per step.
void interpolateAvx512(const float* input, float position, float ratio, int begin, int end,
                       float* out);
// The best loop this processor runs.
InterpolateFn bestInterpolate();

}  // namespace skylane
