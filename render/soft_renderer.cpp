// The software renderer's frame, span lists, deferred queue, pixel format,
// shade table, textures, lines and small operations.
#include "render/soft_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "datafiles/common/debug_trace.h"
#include "render/cdd.h"
#include "render/face.h"

namespace {

constexpr int kPoolNodes = 72800;
constexpr int kShadeColours = 4096;

int LineCoord(float f) {
  if (!(f == f)) return 0;
  return static_cast<int>(std::lrint(std::clamp(f, -1.0e9f, 1.0e9f)));
}

// A line end moved along the line to `to` on one axis; the other axis and
// any carried values follow by the same fraction.
template <std::size_t N>
void MoveAlong(float& along, float& across, float (&carried)[N], float otherAlong, float otherAcross,
               const float (&otherCarried)[N], float to) {
  const float t = (to - along) / (otherAlong - along);
  across += t * (otherAcross - across);
  for (std::size_t i = 0; i < N; ++i) carried[i] += t * (otherCarried[i] - carried[i]);
  along = to;
}

// Orders the ends by y and cuts them to rows 0..bottom, then by x and cuts
// them to columns 0..right. False when nothing of the line is left.
template <std::size_t N>
bool ClipLine(float (&x)[2], float (&y)[2], float (&c)[2][N], int right, int bottom) {
  auto swapEnds = [&] {
    std::swap(x[0], x[1]);
    std::swap(y[0], y[1]);
    std::swap(c[0], c[1]);
  };
  for (float v : {x[0], x[1], y[0], y[1]})
    if (!std::isfinite(v)) return false;
  if (y[0] > y[1]) swapEnds();
  if (y[1] < 0.0f || y[0] > static_cast<float>(bottom)) return false;
  if (y[0] < 0.0f) MoveAlong(y[0], x[0], c[0], y[1], x[1], c[1], 0.0f);
  if (y[1] > static_cast<float>(bottom)) MoveAlong(y[1], x[1], c[1], y[0], x[0], c[0], static_cast<float>(bottom));
  if (x[0] > x[1]) swapEnds();
  if (x[1] < 0.0f || x[0] > static_cast<float>(right)) return false;
  if (x[0] < 0.0f) MoveAlong(x[0], y[0], c[0], x[1], y[1], c[1], 0.0f);
  if (x[1] > static_cast<float>(right)) MoveAlong(x[1], y[1], c[1], x[0], y[0], c[0], static_cast<float>(right));
  return true;
}

}  // namespace

CSoftRenderer::CSoftRenderer()
    : deferred_(kMaxDeferredSpans),
      blankTexels_(static_cast<std::size_t>(kTextureSize) * kTextureSize, 0xFFF0),
      shadeTable_(static_cast<std::size_t>(kShadeColours) * kShadeLevels, 0) {}

CSoftRenderer::~CSoftRenderer() {
  for (auto& t : textures_) t.Release();
}

std::uint16_t* CSoftRenderer::GetTextureData(int slot) {
  if (slot < 0 || slot >= kTextureSlots || texels_[slot].empty()) return nullptr;
  return texels_[slot].data();
}

void CSoftRenderer::Show() {
  if (device_) device_->Show();
}

void CSoftRenderer::FillRectangle(int left, int top, int right, int bottom, CColor color) {
  if (device_) device_->FillRectangle(left, top, right, bottom, color);
}

// ---------------------------------------------------------------------------
// Surface, clip and frame

void CSoftRenderer::SetSurface(void* pixels) {
  surface_ = static_cast<std::uint16_t*>(pixels);
  UpdateOrigin();
}

void CSoftRenderer::SetScreenSize(int width, int height, int pitch) {
  screenWidth_ = std::max(width, 0);
  screenHeight_ = std::max(height, 0);
  clipLeft_ = clipTop_ = 0;
  clipWidth_ = screenWidth_;
  clipHeight_ = screenHeight_;
  // A pitch of 0 says nothing about the surface: keep the one known.
  if (pitch > 0) pitch_ = pitch >> 1;
  // The device may have made its surfaces again. Inside a frame (a thumbnail
  // drawn with the whole surface's size) the drawing goes on in the memory
  // taken now; between frames nothing is drawn until a frame takes it.
  if (device_ && frameNesting_ > 0) {
    TakeSurface();
    return;
  }
  if (device_) surface_ = nullptr;
  UpdateOrigin();
}

void CSoftRenderer::SetClipRect(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  clipLeft_ = left;
  clipTop_ = top;
  clipWidth_ = static_cast<int>(std::clamp<std::int64_t>(
      static_cast<std::int64_t>(std::min(screenWidth_ - 1, right)) - left + 1, -1, INT32_MAX));
  clipHeight_ = static_cast<int>(std::clamp<std::int64_t>(
      static_cast<std::int64_t>(std::min(screenHeight_ - 1, bottom)) - top + 1, -1, INT32_MAX));
  UpdateOrigin();
}

void CSoftRenderer::UpdateOrigin() {
  // Spans queued for another surface or pitch must not be replayed into this one.
  if (surface_ != queuedSurface_ || pitch_ != queuedPitch_) {
    deferredCount_ = 0;
    queuedSurface_ = surface_;
    queuedPitch_ = pitch_;
  }
  const std::uint16_t* before = origin_;
  const int beforeRows = static_cast<int>(heads_.size());
  const int beforeRight = clipRight_;
  if (clipWidth_ > 0 && clipHeight_ > 0 && surface_ && pitch_ > 0) {
    clipRight_ = clipWidth_ - 1;
    clipBottom_ = clipHeight_ - 1;
    origin_ = surface_ + (static_cast<std::ptrdiff_t>(clipTop_) * pitch_ + clipLeft_);
  } else {
    origin_ = nullptr;
  }
  // Span lists and rows belong to one clip rectangle: a new one gets its own.
  if (origin_ && (origin_ != before || beforeRows != clipHeight_ || beforeRight != clipRight_ ||
                  rowOffset_.size() < static_cast<std::size_t>(clipHeight_) ||
                  (clipHeight_ > 1 && rowOffset_[1] != pitch_)))
    RebuildSpans();
}

void CSoftRenderer::RebuildSpans() {
  const std::size_t rows = origin_ ? static_cast<std::size_t>(clipHeight_) : 0;
  const std::size_t poolSize =
      std::max<std::size_t>(kPoolNodes, rows + rows * static_cast<std::size_t>(kNodesPerRow));
  if (pool_.size() < poolSize) pool_.resize(poolSize);
  heads_.assign(rows, nullptr);
  rowOffset_.resize(std::max(rows, rowOffset_.size()));
  for (std::size_t y = 0; y < rows; ++y) {
    pool_[y] = SpanNode{0, clipRight_ + 1, nullptr};
    heads_[y] = &pool_[y];
    rowOffset_[y] = static_cast<std::int32_t>(y * static_cast<std::size_t>(pitch_));
  }
  nodesUsed_ = rows;
}

void CSoftRenderer::TakeSurface() {
  void* bits = device_->Lock();
  // The surface's own pitch and size hold, whatever the screen size said.
  if (device_->GetPitch() > 0) pitch_ = device_->GetPitch() >> 1;
  screenWidth_ = std::min(screenWidth_, device_->GetWidth());
  screenHeight_ = std::min(screenHeight_, device_->GetHeight());
  clipWidth_ = std::min(clipWidth_, screenWidth_ - clipLeft_);
  clipHeight_ = std::min(clipHeight_, screenHeight_ - clipTop_);
  SetSurface(bits);
  if (bits) device_->Unlock();
}

int CSoftRenderer::BeginFrame(int /*clearZ*/) {
  if (!device_) return 0;
  TakeSurface();
  if (!surface_ || !origin_ || !pitch_) return 0;
  deferredCount_ = 0;
  ++frameNesting_;
  RebuildSpans();
  return 1;
}

int CSoftRenderer::EndFrameCount() {
  if (!device_) return 0;
  frameNesting_ = std::max(frameNesting_ - 1, 0);
  const int replayed = deferredCount_;
  if (origin_) {
    for (int i = 0; i < replayed; ++i) FillDeferred(deferred_[i]);
  }
  deferredCount_ = 0;
  if (frameNesting_ == 0) retired_.clear();
  return origin_ ? replayed : 0;
}

std::vector<std::pair<int, int>> CSoftRenderer::FreeRuns(int row) const {
  std::vector<std::pair<int, int>> runs;
  if (row < 0 || row >= static_cast<int>(heads_.size())) return runs;
  for (const SpanNode* n = heads_[row]; n; n = n->next) runs.emplace_back(n->x0, n->x1);
  return runs;
}

// ---------------------------------------------------------------------------
// Pixel format and shade table

std::uint16_t CSoftRenderer::Reduce(int channel, int value8) const {
  const int width = widths_[channel];
  if (!width) return 0;
  const std::uint32_t v = width <= 8 ? static_cast<std::uint32_t>(value8) >> (8 - width)
                                     : static_cast<std::uint32_t>(value8) << (width - 8);
  return static_cast<std::uint16_t>((v << shifts_[channel]) & masks_[channel]);
}

void CSoftRenderer::SetPixelFormat(int redMask, int greenMask, int blueMask) {
  const int given[3] = {redMask, greenMask, blueMask};
  for (int c = 0; c < 3; ++c) {
    masks_[c] = static_cast<std::uint32_t>(given[c]) & 0xFFFFu;
    shifts_[c] = LowestSetBit(masks_[c]);
    widths_[c] = MaskBitCount(masks_[c]);
  }
  auto level = [](int nibble, int shade) { return shade <= 15 ? nibble * shade : 16 * nibble + (16 - nibble) * (shade - 16); };
  std::size_t i = 0;
  for (int r = 0; r < 16; ++r)
    for (int g = 0; g < 16; ++g)
      for (int b = 0; b < 16; ++b)
        for (int s = 0; s < kShadeLevels; ++s)
          shadeTable_[i++] = static_cast<std::uint16_t>(Reduce(0, level(r, s)) | Reduce(1, level(g, s)) |
                                                        Reduce(2, level(b, s)));
  halfMask_ = static_cast<std::uint16_t>(((masks_[0] >> 1) & masks_[0]) | ((masks_[1] >> 1) & masks_[1]) |
                                         ((masks_[2] >> 1) & masks_[2]));
}

std::uint16_t CSoftRenderer::ColorToPixel(std::uint32_t rgb) const {
  return static_cast<std::uint16_t>(Reduce(0, (rgb >> 16) & 255) | Reduce(1, (rgb >> 8) & 255) | Reduce(2, rgb & 255));
}

std::uint16_t CSoftRenderer::Shade(int color12, int shade) const {
  return shadeTable_[static_cast<std::size_t>(color12 & 0xFFF) * kShadeLevels + (shade & 31)];
}

// ---------------------------------------------------------------------------
// Textures

int CSoftRenderer::LoadTexture(int slot, const char* file) {
  if (slot < 0 || slot >= kTextureSlots) return 0;
  // Spans queued this frame may still point at the old texels.
  if (frameNesting_ > 0 && !texels_[slot].empty()) retired_.push_back(std::move(texels_[slot]));
  texels_[slot].clear();
  const int loaded = textures_[slot].Load(file);
  const CTgaImage* image = textures_[slot].GetImage();
  if (!loaded || !image || image->GetBitsPerPixel() != 16 || image->GetWidth() <= 0 || image->GetHeight() <= 0)
    return 0;
  const int w = image->GetWidth(), h = image->GetHeight();
  if (w != kTextureSize || h != kTextureSize)
    DebugTrace("texture %s is %dx%d, repeated over 256x256\n", file, w, h);
  // Every texture is read as 256 x 256 texels: a smaller one repeats, a larger one is cut.
  std::vector<std::uint16_t>& out = texels_[slot];
  out.resize(static_cast<std::size_t>(kTextureSize) * kTextureSize);
  const std::uint8_t* data = image->GetData();
  for (int y = 0; y < kTextureSize; ++y)
    for (int x = 0; x < kTextureSize; ++x)
      std::memcpy(&out[static_cast<std::size_t>(y) * kTextureSize + x],
                  data + (static_cast<std::size_t>(y % h) * w + (x % w)) * 2, 2);
  return 1;
}

// ---------------------------------------------------------------------------
// Lines, markers and pixels

void CSoftRenderer::Plot(int x, int y, std::uint16_t value) {
  if (!origin_ || x < 0 || y < 0 || x > clipRight_ || y > clipBottom_) return;
  origin_[static_cast<std::ptrdiff_t>(y) * pitch_ + x] = value;
}

void CSoftRenderer::SetPixel(int x, int y, CColor value) {
  Plot(x, y, static_cast<std::uint16_t>(value.Value() & 0xFFFFu));
}

int CSoftRenderer::DrawLine(int flags, CVertex a, CVertex b, CColor color) {
  if (!origin_) return 0;
  auto relative = [](std::int32_t v, int corner) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(v) - corner, INT32_MIN, INT32_MAX));
  };
  a.sx = relative(a.sx, clipLeft_);
  b.sx = relative(b.sx, clipLeft_);
  a.sy = relative(a.sy, clipTop_);
  b.sy = relative(b.sy, clipTop_);
  if (static_cast<std::uint32_t>(flags) & kFaceSmooth) {
    DrawGouraudLine(&a, &b);
  } else {
    const int p0[2] = {a.sx, a.sy}, p1[2] = {b.sx, b.sy};
    DrawFlatLine(flags, p0, p1, &color);
  }
  return 1;
}

void CSoftRenderer::DrawFlatLine(int /*flags*/, const int* p0, const int* p1, const CColor* color) {
  if (!origin_ || !p0 || !p1 || !color) return;
  float x[2] = {static_cast<float>(p0[0]), static_cast<float>(p1[0])};
  float y[2] = {static_cast<float>(p0[1]), static_cast<float>(p1[1])};
  float none[2][1] = {{0.0f}, {0.0f}};
  if (!ClipLine(x, y, none, clipRight_, clipBottom_)) return;
  const std::uint16_t pixel = ColorToPixel(color->Value() & 0xFFFFFFu);
  int xa = LineCoord(x[0]), ya = LineCoord(y[0]), xb = LineCoord(x[1]), yb = LineCoord(y[1]);
  const int dx = std::abs(xb - xa), dy = std::abs(yb - ya);
  const int sx = xb >= xa ? 1 : -1, sy = yb >= ya ? 1 : -1;
  const bool xMajor = dx >= dy;
  const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  // From both ends at once, so the line is the same whichever way it was given.
  int error = major >> 1;
  for (int step = 0; step < (major >> 1) + 1; ++step) {
    Plot(xa, ya, pixel);
    Plot(xb, yb, pixel);
    if (xMajor) {
      xa += sx;
      xb -= sx;
    } else {
      ya += sy;
      yb -= sy;
    }
    error -= minor;
    if (error < 0) {
      error += major;
      if (xMajor) {
        ya += sy;
        yb -= sy;
      } else {
        xa += sx;
        xb -= sx;
      }
    }
  }
}

void CSoftRenderer::DrawGouraudLine(const CVertex* a, const CVertex* b) {
  if (!origin_ || !a || !b) return;
  float x[2] = {static_cast<float>(a->sx), static_cast<float>(b->sx)};
  float y[2] = {static_cast<float>(a->sy), static_cast<float>(b->sy)};
  // Blue, green and red in 8.8 fixed point.
  float c[2][3] = {{a->color.b * 256.0f, a->color.g * 256.0f, a->color.r * 256.0f},
                   {b->color.b * 256.0f, b->color.g * 256.0f, b->color.r * 256.0f}};
  if (!ClipLine(x, y, c, clipRight_, clipBottom_)) return;
  int px = LineCoord(x[0]), py = LineCoord(y[0]);
  const int ex = LineCoord(x[1]), ey = LineCoord(y[1]);
  const int dx = std::abs(ex - px), dy = std::abs(ey - py);
  const int sx = ex >= px ? 1 : -1, sy = ey >= py ? 1 : -1;
  const bool xMajor = dx >= dy;
  const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  std::int32_t value[3], step[3];
  for (int i = 0; i < 3; ++i) {
    value[i] = static_cast<std::int32_t>(std::clamp(c[0][i], 0.0f, 65535.0f));
    const std::int32_t end = static_cast<std::int32_t>(std::clamp(c[1][i], 0.0f, 65535.0f));
    step[i] = major ? (end - value[i]) / major : 0;
  }
  // Each channel keeps as many bits as the surface gives it.
  auto channel = [this](int index, std::int32_t v88) {
    const int width = widths_[index];
    if (!width) return 0u;
    const std::uint32_t v = static_cast<std::uint32_t>(std::clamp(v88, 0, 0xFFFF)) >> (16 - std::min(width, 16));
    return (v << shifts_[index]) & masks_[index];
  };
  int error = major >> 1;
  for (int i = 0; i <= major; ++i) {
    Plot(px, py, static_cast<std::uint16_t>(channel(0, value[2]) | channel(1, value[1]) | channel(2, value[0])));
    for (int k = 0; k < 3; ++k) value[k] += step[k];
    if (xMajor) px += sx;
    else py += sy;
    error -= minor;
    if (error < 0) {
      error += major;
      if (xMajor) py += sy;
      else px += sx;
    }
  }
}

int CSoftRenderer::DrawPoint(CVertex v, CColor color) { return DrawMarker(v.sx, v.sy, color); }

int CSoftRenderer::DrawMarker(int x, int y, CColor color) {
  DrawMarkerOutline(x, y, color);
  return 1;
}
