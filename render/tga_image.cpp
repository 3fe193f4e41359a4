#include "render/tga_image.h"

#include <algorithm>
#include <cstring>

#include "datafiles/common/debug_trace.h"
#include "datafiles/mtf_archive.h"
#include "render/pixel_mask.h"

namespace {

constexpr std::size_t kNameBuffer = 512;

constexpr std::uint8_t kScreenDoor[7][4][4] = {
    {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 0}},
    {{1, 0, 1, 0}, {0, 0, 0, 0}, {0, 1, 0, 1}, {0, 0, 0, 0}},
    {{1, 0, 1, 0}, {0, 1, 0, 1}, {1, 0, 1, 0}, {0, 1, 0, 1}},
    {{1, 1, 0, 1}, {0, 1, 1, 1}, {1, 1, 0, 1}, {0, 1, 1, 1}},
    {{1, 1, 1, 1}, {1, 0, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 0}},
    {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}},
};

struct MaskChannel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;
  explicit MaskChannel(std::uint32_t m) : mask(m), shift(LowestSetBit(m)), width(MaskBitCount(m)) {}
  std::uint32_t Put(std::uint8_t c) const {
    if (!mask) return 0;
    const std::uint32_t v = width <= 8 ? static_cast<std::uint32_t>(c) >> (8 - width)
                                       : static_cast<std::uint32_t>(c) << (width - 8);
    return (v << shift) & mask;
  }
};

}  // namespace

bool ScreenDoorCell(int level, int y, int x) {
  if (level < 0 || level > 6) return false;
  return kScreenDoor[level][y & 3][x & 3] != 0;
}

void CTgaImage::Free() {
  data_.clear();
  data_.shrink_to_fit();
  second_.clear();
  width_ = 0;
  height_ = 0;
}

void CTgaImage::Assign(int width, int height, int bitsPerPixel, std::vector<std::uint8_t> data) {
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  data_ = std::move(data);
  const std::size_t need = static_cast<std::size_t>(std::max(0, width)) * std::max(0, height) * (bitsPerPixel / 8);
  data_.resize(need, 0);
}

int CTgaImage::Load(const char* file) {
  if (!file) return 0;
  if (std::strlen(file) >= kNameBuffer) {
    DebugTrace("Error name too long %.64s...\n", file);
    return 0;
  }
  char name[kNameBuffer];
  std::strcpy(name, file);
  MtfFilePtr f(MtfOpen(name, "rb"));
  if (!f) {
    DebugTrace("Error doesn't exist %s\n", name);
    return 0;
  }
  std::uint8_t header[18];
  if (MtfRead(header, sizeof header, 1, f.get()) != 1) return 0;
  const int depth = header[16];
  if (header[0] != 0 || header[1] != 0 || header[2] != 2 || header[7] != 0 || (depth != 24 && depth != 32))
    return 0;
  const int width = static_cast<std::int16_t>(header[12] | header[13] << 8);
  const int height = static_cast<std::int16_t>(header[14] | header[15] << 8);
  if (width <= 0 || height <= 0) {
    DebugTrace("Error bad image size %s\n", name);
    return 0;
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * (depth / 8);
  // Measure what the file still holds before allocating for it.
  const long here = MtfTell(f.get());
  if (here < 0 || MtfSeek(f.get(), 0, 2) != 0) return 0;
  const long end = MtfTell(f.get());
  if (end < here || static_cast<std::size_t>(end - here) < bytes || MtfSeek(f.get(), here, 0) != 0) {
    DebugTrace("Error short pixel data %s\n", name);
    return 0;
  }
  std::vector<std::uint8_t> pixels(bytes);
  if (MtfRead(pixels.data(), 1, bytes, f.get()) != bytes) {
    DebugTrace("Error short pixel data %s\n", name);
    return 0;
  }
  width_ = width;
  height_ = height;
  bitsPerPixel_ = depth;
  data_ = std::move(pixels);
  return 1;
}

TgaPixel CTgaImage::GetPixel(int x, int y) const {
  TgaPixel p;
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return p;
  const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
  if (bitsPerPixel_ == 32) {
    p.b = data_[i * 4];
    p.g = data_[i * 4 + 1];
    p.r = data_[i * 4 + 2];
    p.a = data_[i * 4 + 3];
  } else if (bitsPerPixel_ == 24) {
    p.b = data_[i * 3];
    p.g = data_[i * 3 + 1];
    p.r = data_[i * 3 + 2];
    p.a = 64;
  }
  return p;
}

void CTgaImage::AddAlpha() {
  if (bitsPerPixel_ != 24) return;
  const std::size_t n = static_cast<std::size_t>(width_) * height_;
  std::vector<std::uint8_t> out(n * 4);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = data_[i * 3], g = data_[i * 3 + 1], r = data_[i * 3 + 2];
    out[i * 4] = b;
    out[i * 4 + 1] = g;
    out[i * 4 + 2] = r;
    out[i * 4 + 3] = (b | g | r) ? 255 : 0;
  }
  data_ = std::move(out);
  bitsPerPixel_ = 32;
}

template <typename Word>
int CTgaImage::ConvertMasks(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask,
                            std::uint32_t alphaMask) {
  if (bitsPerPixel_ != 24 && bitsPerPixel_ != 32) return 0;
  const MaskChannel r(redMask), g(greenMask), b(blueMask), a(alphaMask);
  const std::size_t n = static_cast<std::size_t>(width_) * height_;
  const int step = bitsPerPixel_ / 8;
  std::vector<std::uint8_t> out(n * sizeof(Word));
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = &data_[i * step];
    std::uint32_t w = 0;
    if (step == 3) {
      if (p[0] | p[1] | p[2]) {
        w = r.Put(p[2]) | g.Put(p[1]) | b.Put(p[0]);
        if (alphaMask) w |= a.Put(255);
        w |= 1u;
      }
    } else if (p[0] | p[1] | p[2] | p[3]) {
      w = r.Put(p[2]) | g.Put(p[1]) | b.Put(p[0]) | a.Put(p[3]) | 1u;
    }
    const Word word = static_cast<Word>(w);
    std::memcpy(&out[i * sizeof(Word)], &word, sizeof(Word));
  }
  data_ = std::move(out);
  bitsPerPixel_ = static_cast<int>(sizeof(Word) * 8);
  return 1;
}

int CTgaImage::ConvertTo16(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask,
                           std::uint32_t alphaMask) {
  return ConvertMasks<std::uint16_t>(redMask, greenMask, blueMask, alphaMask);
}

int CTgaImage::ConvertTo32(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask,
                           std::uint32_t alphaMask) {
  return ConvertMasks<std::uint32_t>(redMask, greenMask, blueMask, alphaMask);
}

int CTgaImage::ConvertTo444() {
  if (bitsPerPixel_ != 24 && bitsPerPixel_ != 32) return 0;
  const int step = bitsPerPixel_ / 8;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 2);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
      const std::uint8_t* p = &data_[i * step];
      const std::uint8_t b = p[0], g = p[1], r = p[2];
      auto pack = [&] {
        return static_cast<std::uint16_t>((r >> 4) << 12 | (g >> 4) << 8 | (b & 0xF0));
      };
      std::uint16_t w = 0;
      if (step == 3) {
        const bool dark = r >= 8 && r <= 15 && g >= 8 && g <= 15 && b >= 8 && b <= 15;
        w = dark ? 0x0010 : pack();
      } else {
        const int level = p[3] * 7 >> 8;
        if (ScreenDoorCell(level, y, x)) w = pack();
      }
      std::memcpy(&out[i * 2], &w, 2);
    }
  }
  data_ = std::move(out);
  bitsPerPixel_ = 16;
  return 1;
}

int CTgaImage::FlipRows() {
  if (height_ <= 1 || width_ <= 0) return 1;
  const std::size_t row = static_cast<std::size_t>(width_) * bitsPerPixel_ / 8;
  if (data_.size() < row * height_) return 1;
  for (int i = 0; i < height_ / 2; ++i) {
    std::uint8_t* a = &data_[row * i];
    std::uint8_t* b = &data_[row * (height_ - 1 - i)];
    std::swap_ranges(a, a + row, b);
  }
  return 1;
}
