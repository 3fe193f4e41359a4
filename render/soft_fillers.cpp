// The software renderer's span fillers: per pixel only integer work, table
// lookups and masks; perspective spans divide once per 16 pixels.
#include <algorithm>

#include "render/face.h"
#include "render/soft_fixed.h"
#include "render/soft_renderer.h"

namespace {

constexpr int kSubSpan = 16;

// The shade-table row of a flat colour (its 12 bits sit in bits 4..15).
inline std::size_t FlatRow(const DeferredSpan& span) { return static_cast<std::size_t>(span.flatColor & 0xFFF0) * 2; }

}  // namespace

void CSoftRenderer::FillSolid(const DeferredSpan& span) {
  std::fill(span.row + span.x0, span.row + span.x1, span.flatColor);
}

void CSoftRenderer::FillStipple(const DeferredSpan& span) {
  std::uint16_t* row = span.row;
  int parity = span.rowParity ^ (span.x0 & 1);
  for (int x = span.x0; x < span.x1; ++x, parity ^= 1)
    if (parity) row[x] = span.flatColor;
}

void CSoftRenderer::FillShaded(const DeferredSpan& span) {
  std::uint16_t* row = span.row;
  const std::uint16_t* shades = shadeTable_.data() + FlatRow(span);
  std::int32_t acc = span.shade;
  for (int x = span.x0; x < span.x1; ++x, acc = soft::WrapAdd(acc, span.shadeStep)) row[x] = shades[soft::ShadeIndex(acc)];
}

void CSoftRenderer::FillAlphaTest(const DeferredSpan& span) {
  std::uint16_t* row = span.row;
  const std::uint16_t pixel = shadeTable_[FlatRow(span) + 16];
  std::int32_t acc = span.shade;
  for (int x = span.x0; x < span.x1; ++x, acc = soft::WrapAdd(acc, span.shadeStep))
    if (acc & 0x8000) row[x] = pixel;
}

void CSoftRenderer::FillAffineShadedDither(const DeferredSpan& span) {
  std::uint16_t* row = span.row;
  const std::uint16_t* texels = span.texels;
  const std::uint16_t* table = shadeTable_.data();
  std::int32_t u = affineU_, v = affineV_;
  std::uint32_t acc = static_cast<std::uint32_t>(span.shade) & 0xFFFFu;
  const std::uint32_t step = static_cast<std::uint32_t>(span.shadeStep);
  std::uint32_t dither = dither_;
  for (int x = span.x0; x < span.x1; ++x) {
    const unsigned t = texels[soft::TexelIndex(u, v)] & 0xFFF0u;
    // The fraction of the shade carries on to the next pixel instead of being dropped.
    const std::uint32_t d = acc + dither;
    dither = d & 0x7FFu;
    row[x] = table[t * 2 + std::min<std::uint32_t>(d >> 11, 31)];
    acc = (acc + step) & 0xFFFFu;
    u = soft::WrapAdd(u, affineDu_);
    v = soft::WrapAdd(v, affineDv_);
  }
  dither_ = dither;
}

void CSoftRenderer::FillPerspShadedKeyed(const DeferredSpan& span) {
  const std::uint16_t* table = shadeTable_.data();
  StepPerspective(span, [table](std::uint16_t& p, unsigned t, std::int32_t acc) {
    if (t) p = table[t * 2 + soft::ShadeIndex(acc)];
  });
}

void CSoftRenderer::FillPerspShadedBlend(const DeferredSpan& span) {
  const std::uint16_t* table = shadeTable_.data();
  const std::uint16_t half = halfMask_;
  StepPerspective(span, [table, half](std::uint16_t& p, unsigned t, std::int32_t acc) {
    if (t) p = static_cast<std::uint16_t>(((table[t * 2 + soft::ShadeIndex(acc)] >> 1) & half) + ((p >> 1) & half));
  });
}

void CSoftRenderer::FillPersp(const DeferredSpan& span) {
  const std::uint16_t* table = shadeTable_.data();
  StepPerspective(span, [table](std::uint16_t& p, unsigned t, std::int32_t) { p = table[t * 2 + 16]; });
}

void CSoftRenderer::FillPerspKeyed(const DeferredSpan& span) {
  const std::uint16_t* table = shadeTable_.data();
  StepPerspective(span, [table](std::uint16_t& p, unsigned t, std::int32_t) {
    if (t) p = table[t * 2 + 16];
  });
}

void CSoftRenderer::FillPerspBlend(const DeferredSpan& span) {
  const std::uint16_t* table = shadeTable_.data();
  const std::uint16_t half = halfMask_;
  StepPerspective(span, [table, half](std::uint16_t& p, unsigned t, std::int32_t) {
    if (t) p = static_cast<std::uint16_t>(((table[t * 2 + 16] >> 1) & half) + ((p >> 1) & half));
  });
}

void CSoftRenderer::FillDeferred(const DeferredSpan& span) {
  if (!span.row || span.x0 >= span.x1) return;
  const std::uint32_t bits = static_cast<std::uint32_t>(span.flags);
  const bool translucent = bits & kFaceBlended;
  if (bits & kFaceTextured) {
    if (bits & kFaceSmooth) translucent ? FillPerspShadedBlend(span) : FillPerspShadedKeyed(span);
    else translucent ? FillPerspBlend(span) : FillPerspKeyed(span);
  } else if (translucent) {
    bits & kFaceSmooth ? FillAlphaTest(span) : FillStipple(span);
  }
}

template <typename Pixel>
void CSoftRenderer::StepPerspective(const DeferredSpan& span, Pixel pixel) {
  std::uint16_t* row = span.row;
  const std::uint16_t* texels = span.texels;
  float uz = span.uz, vz = span.vz, rz = span.rz;
  std::int32_t u = soft::ToInt(static_cast<double>(uz) / rz), v = soft::ToInt(static_cast<double>(vz) / rz);
  std::int32_t acc = span.shade;
  int x = span.x0;
  int left = span.x1 - span.x0;
  subSpanCount_ = 0;
  while (left > 0) {
    const int n = std::min(left, kSubSpan);
    std::int32_t du, dv;
    if (n == kSubSpan) {
      uz += span.uzStep16;
      vz += span.vzStep16;
      rz += span.rzStep16;
      const float z = 1.0f / rz;
      du = static_cast<std::int32_t>((static_cast<std::int64_t>(soft::ToInt(z * uz)) - u) >> 4);
      dv = static_cast<std::int32_t>((static_cast<std::int64_t>(soft::ToInt(z * vz)) - v) >> 4);
    } else {
      const float part = static_cast<float>(n) * 0.0625f;
      uz += part * span.uzStep16;
      vz += part * span.vzStep16;
      rz += part * span.rzStep16;
      const float z = 1.0f / rz;
      du = soft::ToInt((static_cast<double>(z * uz) - u) / n);
      dv = soft::ToInt((static_cast<double>(z * vz) - v) / n);
    }
    if (subSpanCount_ < static_cast<int>(firstSubSpans_.size())) firstSubSpans_[subSpanCount_] = n;
    ++subSpanCount_;
    for (int i = 0; i < n; ++i, ++x) {
      pixel(row[x], texels[soft::TexelIndex(u, v)] & 0xFFF0u, acc);
      u = soft::WrapAdd(u, du);
      v = soft::WrapAdd(v, dv);
      acc = soft::WrapAdd(acc, span.shadeStep);
    }
    left -= n;
  }
}
