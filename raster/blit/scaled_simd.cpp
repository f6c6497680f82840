// Vector row kernels of the opaque bilinear and box-filtered scaled blits.
// Every kernel computes the scalar samplers' integer sums exactly; the AVX2
// versions run the SSE2 algorithm on twice the pixels and leave the tail to it.
#include "raster/pixels/cpu_p.h"
#include "raster/blit/scaled_simd_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__GNUC__) || defined(__clang__)
#include <immintrin.h>
#define PX_HAVE_AVX2 1
#define PX_AVX2 __attribute__((target("avx2")))
// Kernels called twice per row must be inlined: a call would leave the upper
// vector state dirty after the caller's vzeroupper.
#define PX_INLINE inline __attribute__((always_inline))
#else
#define PX_HAVE_AVX2 0
#endif

namespace {

inline __m128i load4(const void* p) { return _mm_loadu_si128((const __m128i*)p); }
inline void store4(void* p, __m128i v) { _mm_storeu_si128((__m128i*)p, v); }

// One bilinear pixel, four 32-bit channels: (E + (b, C) . w) >> 16.
inline __m128i bilinear1(const char* e, const char* bc, int32_t off, __m128i w) {
  return _mm_srai_epi32(_mm_add_epi32(load4(e + off), _mm_madd_epi16(load4(bc + off), w)), 16);
}

// (fy - 32768) as the first weight of every 16-bit pair, 0 as the second.
inline __m128i fyPairs(unsigned fy) { return _mm_set1_epi32((int)((fy - 32768u) & 0xFFFF)); }

// Box mean of two pixels whose column sums start at byte offsets o0 and o1.
inline __m128i box2(const char* sums, int32_t o0, int32_t o1, __m128i recip) {
  const __m128i a = load4(sums + o0), b = load4(sums + o1);
  const __m128i c = _mm_unpacklo_epi64(_mm_loadl_epi64((const __m128i*)(sums + o0 + 16)),
                                       _mm_loadl_epi64((const __m128i*)(sums + o1 + 16)));
  const __m128i s =
      _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b)), c);
  return _mm_mulhi_epu16(s, recip);
}

#if PX_HAVE_AVX2

PX_AVX2 inline __m256i pair(const char* p0, const char* p1) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(load4(p0)), load4(p1), 1);
}

// Bilinear pixels at offsets o0 (low lane) and o1 (high lane).
PX_AVX2 inline __m256i bilinear2(const char* e, const char* bc, int32_t o0, int32_t o1, __m256i w) {
  return _mm256_srai_epi32(
      _mm256_add_epi32(pair(e + o0, e + o1), _mm256_madd_epi16(pair(bc + o0, bc + o1), w)), 16);
}

// Eight pixels per step: pixels k and k + 4 share a register, so the packs
// leave them in order.
PX_AVX2 int bilinearRowAvx2(PX_pixel* d, const PxBilinearCols& t, const int32_t* off,
                            const uint32_t* w, int n) {
  const char *e = (const char*)t.e, *bc = (const char*)t.bc;
  const __m256i i0 = _mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4);
  const __m256i one = _mm256_set1_epi32(1);
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i w8 = _mm256_loadu_si256((const __m256i*)(w + k));
    const __m256i i1 = _mm256_add_epi32(i0, one), i2 = _mm256_add_epi32(i1, one);
    const __m256i i3 = _mm256_add_epi32(i2, one);
    const int32_t* o = off + k;
    const __m256i r0 = bilinear2(e, bc, o[0], o[4], _mm256_permutevar8x32_epi32(w8, i0));
    const __m256i r1 = bilinear2(e, bc, o[1], o[5], _mm256_permutevar8x32_epi32(w8, i1));
    const __m256i r2 = bilinear2(e, bc, o[2], o[6], _mm256_permutevar8x32_epi32(w8, i2));
    const __m256i r3 = bilinear2(e, bc, o[3], o[7], _mm256_permutevar8x32_epi32(w8, i3));
    const __m256i v = _mm256_packus_epi16(_mm256_packs_epi32(r0, r1), _mm256_packs_epi32(r2, r3));
    _mm256_storeu_si256((__m256i*)(d + k), v);
  }
  return k;
}

// Pixels k and k + 4 (lanes) of two rows of the same source rows at fractions
// kfy0 and kfy1, weights a and b: their E come from base and d10 here, and
// each column is fetched once for both rows.
PX_AVX2 PX_INLINE void rows2Pair(const PxBilinearCols& t, int32_t o0, int32_t o1, __m256i kfy0,
                                 __m256i kfy1, __m256i a, __m256i b, __m256i* r0, __m256i* r1) {
  const char *bc = (const char*)t.bc, *base = (const char*)t.base, *d10 = (const char*)t.d10;
  const __m256i e = pair(base + o0, base + o1), dp = pair(d10 + o0, d10 + o1);
  const __m256i c = pair(bc + o0, bc + o1);
  const __m256i e0 = _mm256_add_epi32(e, _mm256_madd_epi16(dp, kfy0));
  const __m256i e1 = _mm256_add_epi32(e, _mm256_madd_epi16(dp, kfy1));
  *r0 = _mm256_srai_epi32(_mm256_add_epi32(e0, _mm256_madd_epi16(c, a)), 16);
  *r1 = _mm256_srai_epi32(_mm256_add_epi32(e1, _mm256_madd_epi16(c, b)), 16);
}

// Pixels k .. k + 7 of both rows.
PX_AVX2 PX_INLINE void rows2Group(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t,
                                  const int32_t* off, const uint32_t* w0, const uint32_t* w1,
                                  __m256i kfy0, __m256i kfy1, int k) {
  const __m256i a8 = _mm256_loadu_si256((const __m256i*)(w0 + k));
  const __m256i b8 = _mm256_loadu_si256((const __m256i*)(w1 + k));
  const __m256i i0 = _mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4), one = _mm256_set1_epi32(1);
  const __m256i i1 = _mm256_add_epi32(i0, one), i2 = _mm256_add_epi32(i1, one);
  const __m256i i3 = _mm256_add_epi32(i2, one);
  const int32_t* o = off + k;
  __m256i p0, p1, p2, p3, q0, q1, q2, q3;
  rows2Pair(t, o[0], o[4], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i0),
            _mm256_permutevar8x32_epi32(b8, i0), &p0, &q0);
  rows2Pair(t, o[1], o[5], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i1),
            _mm256_permutevar8x32_epi32(b8, i1), &p1, &q1);
  rows2Pair(t, o[2], o[6], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i2),
            _mm256_permutevar8x32_epi32(b8, i2), &p2, &q2);
  rows2Pair(t, o[3], o[7], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i3),
            _mm256_permutevar8x32_epi32(b8, i3), &p3, &q3);
  _mm256_storeu_si256((__m256i*)(d0 + k),
                      _mm256_packus_epi16(_mm256_packs_epi32(p0, p1), _mm256_packs_epi32(p2, p3)));
  _mm256_storeu_si256((__m256i*)(d1 + k),
                      _mm256_packus_epi16(_mm256_packs_epi32(q0, q1), _mm256_packs_epi32(q2, q3)));
}

// The last group overlaps the one before it rather than leaving a tail.
PX_AVX2 int bilinearRows2Avx2(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t,
                              const int32_t* off, const uint32_t* w0, const uint32_t* w1,
                              unsigned fy0, unsigned fy1, int n) {
  if (n < 8) return 0;
  const __m256i kfy0 = _mm256_set1_epi32((int)((fy0 - 32768u) & 0xFFFF));
  const __m256i kfy1 = _mm256_set1_epi32((int)((fy1 - 32768u) & 0xFFFF));
  for (int k = 0; k + 8 <= n; k += 8) rows2Group(d0, d1, t, off, w0, w1, kfy0, kfy1, k);
  if (n % 8) rows2Group(d0, d1, t, off, w0, w1, kfy0, kfy1, n - 8);
  return n;
}

// Pixels k and k + 1 (lanes) of one or two rows from doubled tables at load
// offset o, E computed here from base and d10.
template <bool TWO>
PX_AVX2 PX_INLINE void pairSamples(const PxBilinearCols& t, int32_t o, __m256i kfy0, __m256i kfy1,
                                   __m256i w0, __m256i w1, __m256i* r0, __m256i* r1) {
  const __m256i b = _mm256_loadu_si256((const __m256i*)((const char*)t.base + o));
  const __m256i dp = _mm256_loadu_si256((const __m256i*)((const char*)t.d10 + o));
  const __m256i c = _mm256_loadu_si256((const __m256i*)((const char*)t.bc + o));
  *r0 = _mm256_srai_epi32(
      _mm256_add_epi32(_mm256_add_epi32(b, _mm256_madd_epi16(dp, kfy0)), _mm256_madd_epi16(c, w0)),
      16);
  if (TWO)
    *r1 = _mm256_srai_epi32(_mm256_add_epi32(_mm256_add_epi32(b, _mm256_madd_epi16(dp, kfy1)),
                                             _mm256_madd_epi16(c, w1)),
                            16);
}

// Pixel pairs (0, 1), (2, 3), (4, 5), (6, 7) packed into eight pixels in order.
PX_AVX2 PX_INLINE void storePairs(PX_pixel* d, __m256i a, __m256i b, __m256i c, __m256i e) {
  const __m256i v = _mm256_packus_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(c, e));
  _mm256_storeu_si256((__m256i*)d,
                      _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
}

// Pixels k .. k + 7 of one or two rows.
template <bool TWO>
PX_AVX2 PX_INLINE void pairsGroup(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t,
                                  const int32_t* poff, const uint32_t* w0, const uint32_t* w1,
                                  __m256i kfy0, __m256i kfy1, int k) {
  const __m256i a8 = _mm256_loadu_si256((const __m256i*)(w0 + k));
  const __m256i b8 = TWO ? _mm256_loadu_si256((const __m256i*)(w1 + k)) : a8;
  const __m256i i0 = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1), two = _mm256_set1_epi32(2);
  const __m256i i1 = _mm256_add_epi32(i0, two), i2 = _mm256_add_epi32(i1, two);
  const __m256i i3 = _mm256_add_epi32(i2, two);
  __m256i p0, p1, p2, p3, q0, q1, q2, q3;
  pairSamples<TWO>(t, poff[k], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i0),
                   _mm256_permutevar8x32_epi32(b8, i0), &p0, &q0);
  pairSamples<TWO>(t, poff[k + 2], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i1),
                   _mm256_permutevar8x32_epi32(b8, i1), &p1, &q1);
  pairSamples<TWO>(t, poff[k + 4], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i2),
                   _mm256_permutevar8x32_epi32(b8, i2), &p2, &q2);
  pairSamples<TWO>(t, poff[k + 6], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i3),
                   _mm256_permutevar8x32_epi32(b8, i3), &p3, &q3);
  storePairs(d0 + k, p0, p1, p2, p3);
  if (TWO) storePairs(d1 + k, q0, q1, q2, q3);
}

template <bool TWO>
PX_AVX2 void pairsAvx2(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t, const int32_t* poff,
                       const uint32_t* w0, const uint32_t* w1, unsigned fy0, unsigned fy1, int n) {
  const __m256i kfy0 = _mm256_set1_epi32((int)((fy0 - 32768u) & 0xFFFF));
  const __m256i kfy1 = _mm256_set1_epi32((int)((fy1 - 32768u) & 0xFFFF));
  for (int k = 0; k + 8 <= n; k += 8) pairsGroup<TWO>(d0, d1, t, poff, w0, w1, kfy0, kfy1, k);
  if (n % 8) pairsGroup<TWO>(d0, d1, t, poff, w0, w1, kfy0, kfy1, n - 8);
}

// The entries of columns c (low lane) and c + 1 (high lane), each twice.
PX_AVX2 PX_INLINE void storeTwice(void* p, __m256i v) {
  _mm256_storeu_si256((__m256i*)p, _mm256_permute4x64_epi64(v, 0x44));
  _mm256_storeu_si256((__m256i*)p + 1, _mm256_permute4x64_epi64(v, 0xEE));
}

// Columns c (low lane) and c + 1 (high lane) at once, as in px_bilinear_cols;
// each 128-bit lane holds its column's two pixels of a row, 16 bits a channel.
PX_AVX2 int colsAvx2(const PX_pixel* r0, const PX_pixel* r1, unsigned fy, PxBilinearCols& t) {
  const __m256i zero = _mm256_setzero_si256(),
                kfy = _mm256_set1_epi32((int)((fy - 32768u) & 0xFFFF));
  int c = 0;
  for (; c + 3 <= t.ncols; c += 2) {
    // Pixels (c, c + 1, c + 1, c + 2) of each row.
    const __m256i top = _mm256_cvtepu8_epi16(_mm_shuffle_epi32(load4(r0 + c), 0x94));
    const __m256i bot = _mm256_cvtepu8_epi16(_mm_shuffle_epi32(load4(r1 + c), 0x94));
    const __m256i p00 = _mm256_unpacklo_epi64(top, top);
    const __m256i b = _mm256_srli_si256(_mm256_sub_epi16(top, p00), 8);
    const __m256i d10 = _mm256_sub_epi16(bot, p00);
    const __m256i d11 = _mm256_srli_si256(d10, 8);
    const __m256i cc = _mm256_sub_epi16(_mm256_sub_epi16(d11, d10), b);
    const __m256i base = _mm256_add_epi32(_mm256_slli_epi32(_mm256_unpacklo_epi16(p00, zero), 16),
                                          _mm256_srai_epi32(_mm256_unpacklo_epi16(zero, d11), 1));
    const __m256i dpair = _mm256_unpacklo_epi16(d10, zero), bc = _mm256_unpacklo_epi16(b, cc);
    if (t.doubled) {
      storeTwice(t.base + 8 * c, base);
      storeTwice(t.d10 + 16 * c, dpair);
      storeTwice(t.bc + 16 * c, bc);
      continue;
    }
    _mm256_storeu_si256((__m256i*)(t.base + 4 * c), base);
    _mm256_storeu_si256((__m256i*)(t.d10 + 8 * c), dpair);
    _mm256_storeu_si256((__m256i*)(t.e + 4 * c),
                        _mm256_add_epi32(base, _mm256_madd_epi16(dpair, kfy)));
    _mm256_storeu_si256((__m256i*)(t.bc + 8 * c), bc);
  }
  return c;
}

// Sixteen weights a step; the quarter swap puts the in-lane unpacks in order.
PX_AVX2 int weightsAvx2(const uint16_t* fx, int n, unsigned fy, uint32_t* w) {
  const __m256i bias = _mm256_set1_epi16((short)0x8000), vfy = _mm256_set1_epi16((short)fy);
  int k = 0;
  for (; k + 16 <= n; k += 16) {
    const __m256i f = _mm256_permute4x64_epi64(_mm256_loadu_si256((const __m256i*)(fx + k)), 0xD8);
    const __m256i fb = _mm256_xor_si256(f, bias);
    const __m256i wb = _mm256_xor_si256(_mm256_mulhi_epu16(f, vfy), bias);
    _mm256_storeu_si256((__m256i*)(w + k), _mm256_unpacklo_epi16(fb, wb));
    _mm256_storeu_si256((__m256i*)(w + k + 8), _mm256_unpackhi_epi16(fb, wb));
  }
  return k;
}

PX_AVX2 int refyAvx2(PxBilinearCols& t, unsigned fy) {
  const __m256i kfy = _mm256_set1_epi32((int)((fy - 32768u) & 0xFFFF));
  int c = 0;
  for (; c + 2 <= t.ncols; c += 2)
    _mm256_storeu_si256(
        (__m256i*)(t.e + 4 * c),
        _mm256_add_epi32(
            _mm256_loadu_si256((const __m256i*)(t.base + 4 * c)),
            _mm256_madd_epi16(_mm256_loadu_si256((const __m256i*)(t.d10 + 8 * c)), kfy)));
  return c;
}

PX_AVX2 int box3SumsAvx2(const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2, int n,
                         uint16_t* out) {
  int c = 0;
  for (; c + 8 <= n; c += 8) {
    for (int h = 0; h < 8; h += 4) {
      const __m256i a = _mm256_cvtepu8_epi16(load4(r0 + c + h));
      const __m256i b = _mm256_cvtepu8_epi16(load4(r1 + c + h));
      const __m256i s =
          _mm256_add_epi16(_mm256_add_epi16(a, b), _mm256_cvtepu8_epi16(load4(r2 + c + h)));
      _mm256_storeu_si256((__m256i*)(out + 4 * (c + h)), s);
    }
  }
  return c;
}

// Four means at step two from column sums at c: X + Y + Z gather columns
// (2k, 2k + 1, 2k + 2) of pixels (0, 2 | 1, 3).
PX_AVX2 inline __m256i box4Step2(const uint16_t* c, __m256i recip) {
  const __m256i m0 = _mm256_loadu_si256((const __m256i*)c);
  const __m256i m1 = _mm256_loadu_si256((const __m256i*)(c + 16));
  const __m256i z0 = _mm256_loadu_si256((const __m256i*)(c + 8));
  const __m256i z1 = _mm256_loadu_si256((const __m256i*)(c + 24));
  const __m256i s = _mm256_add_epi16(
      _mm256_add_epi16(_mm256_unpacklo_epi64(m0, m1), _mm256_unpackhi_epi64(m0, m1)),
      _mm256_unpacklo_epi64(z0, z1));
  return _mm256_mulhi_epu16(s, recip);
}

PX_AVX2 int box3Step2Avx2(PX_pixel* d, const uint16_t* sums, int n) {
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  const __m256i recip = _mm256_set1_epi16((short)kPxRecip9);
  int k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m256i v =
        _mm256_packus_epi16(box4Step2(sums + 8 * k, recip), box4Step2(sums + 8 * k + 32, recip));
    _mm256_storeu_si256((__m256i*)(d + k), _mm256_permutevar8x32_epi32(v, order));
  }
  return k;
}

#endif

}  // namespace

void px_bilinear_cols(const PX_pixel* r0, const PX_pixel* r1, unsigned fy, PxBilinearCols& t) {
  int c = 0;
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) c = colsAvx2(r0, r1, fy, t);
#endif
  const __m128i zero = _mm_setzero_si128(), kfy = fyPairs(fy);
  for (; c < t.ncols; ++c) {
    const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)(r0 + c)), zero);
    const __m128i bot = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)(r1 + c)), zero);
    const __m128i p00 = _mm_unpacklo_epi64(top, top);
    const __m128i b = _mm_srli_si128(_mm_sub_epi16(top, p00), 8);  // p01 - p00
    const __m128i d10 = _mm_sub_epi16(bot, p00);                   // high half: p11 - p00
    const __m128i d11 = _mm_srli_si128(d10, 8);
    const __m128i cc = _mm_sub_epi16(_mm_sub_epi16(d11, d10), b);
    // (p00 << 16) + (p11 - p00) << 15, the latter sign-extended from 16 bits
    const __m128i base = _mm_add_epi32(_mm_slli_epi32(_mm_unpacklo_epi16(p00, zero), 16),
                                       _mm_srai_epi32(_mm_unpacklo_epi16(zero, d11), 1));
    const __m128i dpair = _mm_unpacklo_epi16(d10, zero), bc = _mm_unpacklo_epi16(b, cc);
    if (t.doubled) {
      for (int k = 2 * c; k < 2 * c + 2; ++k) {
        store4(t.base + 4 * k, base);
        store4(t.d10 + 8 * k, dpair);
        store4(t.bc + 8 * k, bc);
      }
      continue;
    }
    store4(t.base + 4 * c, base);
    store4(t.d10 + 8 * c, dpair);
    store4(t.e + 4 * c, _mm_add_epi32(base, _mm_madd_epi16(dpair, kfy)));
    store4(t.bc + 8 * c, bc);
  }
}

void px_bilinear_refy(PxBilinearCols& t, unsigned fy) {
  int c = 0;
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) c = refyAvx2(t, fy);
#endif
  const __m128i kfy = fyPairs(fy);
  for (; c < t.ncols; ++c)
    store4(t.e + 4 * c,
           _mm_add_epi32(load4(t.base + 4 * c), _mm_madd_epi16(load4(t.d10 + 8 * c), kfy)));
}

void px_bilinear_weights(const uint16_t* fx, int n, unsigned fy, uint32_t* w) {
  int k = 0;
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) k = weightsAvx2(fx, n, fy, w);
#endif
  const __m128i bias = _mm_set1_epi16((short)0x8000), vfy = _mm_set1_epi16((short)fy);
  for (; k + 8 <= n; k += 8) {
    const __m128i f = load4(fx + k);
    const __m128i w11 = _mm_mulhi_epu16(f, vfy);
    const __m128i fb = _mm_xor_si128(f, bias), wb = _mm_xor_si128(w11, bias);
    store4(w + k, _mm_unpacklo_epi16(fb, wb));
    store4(w + k + 4, _mm_unpackhi_epi16(fb, wb));
  }
  for (; k < n; ++k) {
    const unsigned f = fx[k], w11 = (f * fy) >> 16;
    w[k] = ((f - 32768u) & 0xFFFF) | ((w11 - 32768u) & 0xFFFF) << 16;
  }
}

void px_bilinear_row(PX_pixel* d, const PxBilinearCols& t, const int32_t* off, const uint32_t* w,
                     int n) {
  int k = 0;
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) k = bilinearRowAvx2(d, t, off, w, n);
#endif
  const char *ep = (const char*)t.e, *bc = (const char*)t.bc;
  for (; k + 4 <= n; k += 4) {
    const __m128i w4 = load4(w + k);
    const __m128i a = bilinear1(ep, bc, off[k], _mm_shuffle_epi32(w4, 0x00));
    const __m128i b = bilinear1(ep, bc, off[k + 1], _mm_shuffle_epi32(w4, 0x55));
    const __m128i c = bilinear1(ep, bc, off[k + 2], _mm_shuffle_epi32(w4, 0xAA));
    const __m128i e = bilinear1(ep, bc, off[k + 3], _mm_shuffle_epi32(w4, 0xFF));
    store4(d + k, _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, e)));
  }
  for (; k < n; ++k) {
    const __m128i r = bilinear1(ep, bc, off[k], _mm_set1_epi32((int)w[k]));
    const __m128i r16 = _mm_packs_epi32(r, r);
    d[k] = (PX_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(r16, r16));
  }
}

int px_bilinear_rows2(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t, const int32_t* off,
                      const uint32_t* w0, const uint32_t* w1, unsigned fy0, unsigned fy1, int n) {
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) return bilinearRows2Avx2(d0, d1, t, off, w0, w1, fy0, fy1, n);
#endif
  return 0;
}

int px_bilinear_pairs(const PxPairRows& rows, const PxBilinearCols& t, const int32_t* poff, int n) {
#if PX_HAVE_AVX2
  if (px_simd() < kPxAvx2 || n < 8) return 0;
  if (px_simd() >= kPxAvx512) {
    px_bilinear_pairs_vnni(rows, t, poff, n);
    return n;
  }
  // Two rows at a time, then the third alone.
  if (rows.count >= 2)
    pairsAvx2<true>(rows.d[0], rows.d[1], t, poff, rows.w[0], rows.w[1], rows.fy[0], rows.fy[1], n);
  else
    pairsAvx2<false>(rows.d[0], nullptr, t, poff, rows.w[0], rows.w[0], rows.fy[0], rows.fy[0], n);
  if (rows.count == 3)
    pairsAvx2<false>(rows.d[2], nullptr, t, poff, rows.w[2], rows.w[2], rows.fy[2], rows.fy[2], n);
  return n;
#else
  return 0;
#endif
}

void px_box3_sums(const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2, int n,
                  uint16_t* out) {
  int c = 0;
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) c = box3SumsAvx2(r0, r1, r2, n, out);
#endif
  const __m128i zero = _mm_setzero_si128();
  for (; c + 4 <= n; c += 4) {
    const __m128i a = load4(r0 + c), b = load4(r1 + c), e = load4(r2 + c);
    const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    store4(out + 4 * c, _mm_add_epi16(lo, _mm_unpacklo_epi8(e, zero)));
    store4(out + 4 * c + 8, _mm_add_epi16(hi, _mm_unpackhi_epi8(e, zero)));
  }
  for (; c < n; ++c)
    for (int k = 0; k < 4; ++k)
      out[4 * c + k] =
          (uint16_t)(((const PX_pixel_chan*)(r0 + c))[k] + ((const PX_pixel_chan*)(r1 + c))[k] +
                     ((const PX_pixel_chan*)(r2 + c))[k]);
}

void px_box3_row(PX_pixel* d, const uint16_t* sums16, const int32_t* off, int n) {
  const char* sums = (const char*)sums16;
  const __m128i recip = _mm_set1_epi16((short)kPxRecip9);
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i a = box2(sums, off[k], off[k + 1], recip);
    const __m128i b = box2(sums, off[k + 2], off[k + 3], recip);
    store4(d + k, _mm_packus_epi16(a, b));
  }
  for (; k < n; ++k) {
    const __m128i m = box2(sums, off[k], off[k], recip);
    d[k] = (PX_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(m, m));
  }
}

void px_box3_row_step2(PX_pixel* d, const uint16_t* sums, int n) {
  const __m128i recip = _mm_set1_epi16((short)kPxRecip9);
  int k = 0;
#if PX_HAVE_AVX2
  if (px_simd() >= kPxAvx2) k = box3Step2Avx2(d, sums, n);
#endif
  for (; k + 4 <= n; k += 4) {
    const uint16_t* c = sums + 8 * k;  // column 2k
    const __m128i l0 = load4(c), l1 = load4(c + 8), l2 = load4(c + 16), l3 = load4(c + 24);
    const __m128i l4 = _mm_loadl_epi64((const __m128i*)(c + 32));
    const __m128i a =
        _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(l0, l1), _mm_unpackhi_epi64(l0, l1)),
                      _mm_unpacklo_epi64(l1, l2));
    const __m128i b =
        _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(l2, l3), _mm_unpackhi_epi64(l2, l3)),
                      _mm_unpacklo_epi64(l3, l4));
    store4(d + k, _mm_packus_epi16(_mm_mulhi_epu16(a, recip), _mm_mulhi_epu16(b, recip)));
  }
  for (; k < n; ++k) {
    const __m128i m = box2((const char*)sums, 16 * k, 16 * k, recip);
    d[k] = (PX_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(m, m));
  }
}

#endif
