#include "meshedit/core/tga_image.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "meshedit/core/mtf_file.h"
#include "meshedit/core/path_names.h"

namespace pavix {
namespace {

constexpr std::size_t kHeaderSize = 18;

int Shift(std::uint32_t mask) { return mask ? std::countr_zero(mask) : 0; }
int Width(std::uint32_t mask) { return mask ? std::countr_one(mask >> Shift(mask)) : 0; }

// A channel value (8 bits, or a signed difference) placed in a mask.
std::uint32_t Place(int value, std::uint32_t mask) {
  if (!mask) return 0;
  const int w = Width(mask);
  const int v = w <= 8 ? value >> (8 - w) : value * (1 << (w - 8));
  return (static_cast<std::uint32_t>(v) << Shift(mask)) & mask;
}

}  // namespace

void CTgaImage::Free() {
  data_.clear();
  data_.shrink_to_fit();
  palette_.clear();
  width_ = height_ = 0;
  bitsPerPixel_ = 0;
}

int CTgaImage::Load(std::string_view file) {
  Free();
  MtfFilePtr f(MtfOpen(ReplaceExtension(file, ".TGA"), "rb"));
  if (!f) return 0;
  return Read(f.get());
}

int CTgaImage::Read(MtfFile* file) {
  Free();
  if (!file) return 0;
  std::uint8_t header[kHeaderSize];
  if (MtfRead(header, kHeaderSize, 1, file) != 1) return 0;
  if (header[0] != 0 || header[1] != 0 || header[2] != 2 || header[7] != 0) return 0;
  const int bits = header[16];
  const int width = header[12] | header[13] << 8;
  const int height = header[14] | header[15] << 8;
  // Another depth reads nothing and an image without pixels has nothing to
  // read: both are loaded, empty (the texture's maker refuses them). The
  // size is checked against the bytes there before anything is allocated.
  if ((bits != 24 && bits != 32) || width == 0 || height == 0) return 1;
  const std::uint64_t bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * (bits / 8);
  if (bytes > file->Remaining()) return 0;
  data_.resize(static_cast<std::size_t>(bytes));
  if (MtfRead(data_.data(), data_.size(), 1, file) != 1) {
    Free();
    return 0;
  }
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bits;
  FlipRows();
  return 1;
}

bool CTgaImage::Assign(int width, int height, int bitsPerPixel, std::span<const std::uint8_t> pixels,
                       std::span<const std::uint8_t> palette) {
  if (width < 0 || height < 0 || (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32))
    return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * (bitsPerPixel / 8);
  if (bytes != pixels.size()) return false;
  if (bitsPerPixel == 8 && palette.size() < 256 * 4) return false;
  Free();
  data_.assign(pixels.begin(), pixels.end());
  palette_.assign(palette.begin(), palette.end());
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  return true;
}

void CTgaImage::FlipRows() {
  if (data_.empty() || height_ < 2) return;
  const std::size_t row = static_cast<std::size_t>(width_) * BytesPerPixel();
  std::vector<std::uint8_t> scratch(row);
  for (int i = 0; i < height_ / 2; ++i) {
    std::uint8_t* a = data_.data() + static_cast<std::size_t>(i) * row;
    std::uint8_t* b = data_.data() + static_cast<std::size_t>(height_ - 1 - i) * row;
    std::memcpy(scratch.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, scratch.data(), row);
  }
}

template <typename Word>
void CTgaImage::ConvertMasks(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a, int bits) {
  const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  std::vector<std::uint8_t> out(n * sizeof(Word));
  for (std::size_t i = 0; i < n; ++i) {
    int cb, cg, cr, ca = 255;
    if (bitsPerPixel_ == 8) {
      const std::uint8_t index = data_[i];
      const std::uint8_t* e = palette_.data() + static_cast<std::size_t>(index) * 4;
      cb = e[0];
      cg = e[1];
      cr = e[2];
      ca = index == 0 ? 0 : 255;  // index 0 is the transparent one
    } else if (bitsPerPixel_ == 24) {
      const std::uint8_t* p = data_.data() + i * 3;
      cb = p[0];
      cg = p[1];
      cr = p[2];
      if (cb == 0 && cg == 0 && cr == 0) ca = 0;  // only matters with an alpha mask
    } else {
      const std::uint8_t* p = data_.data() + i * 4;
      cb = p[0];
      cg = p[1];
      cr = p[2];
      ca = p[3];
    }
    const Word w = static_cast<Word>(Place(cr, r) | Place(cg, g) | Place(cb, b) | Place(ca, a));
    std::memcpy(out.data() + i * sizeof(Word), &w, sizeof(Word));
  }
  data_ = std::move(out);
  bitsPerPixel_ = bits;
  redMask_ = r;
  greenMask_ = g;
  blueMask_ = b;
  alphaMask_ = a;
}

void CTgaImage::ConvertTo16(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  if (bitsPerPixel_ != 8 && bitsPerPixel_ != 24 && bitsPerPixel_ != 32) return;
  ConvertMasks<std::uint16_t>(r, g, b, a, 16);
}

void CTgaImage::ConvertTo32(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  if (bitsPerPixel_ != 24 && bitsPerPixel_ != 32) return;
  ConvertMasks<std::uint32_t>(r, g, b, a, 32);
}

void CTgaImage::ConvertToBump(std::uint32_t maskA, std::uint32_t maskB, std::uint32_t maskC) {
  if ((bitsPerPixel_ != 24 && bitsPerPixel_ != 32) || width_ == 0 || height_ == 0) return;
  const int bpp = BytesPerPixel();
  auto at = [&](int x, int y) {
    return data_.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * bpp;
  };
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 2);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const int b = at(x, y)[0];
      const int dx = b - at((x + 1) % width_, y)[0];
      const int dy = b - at(x, (y + 1) % height_)[0];
      const auto w = static_cast<std::uint16_t>(Place(dx, maskA) | Place(dy, maskB) | Place(at(x, y)[1], maskC));
      std::memcpy(out.data() + (static_cast<std::size_t>(y) * width_ + x) * 2, &w, 2);
    }
  }
  data_ = std::move(out);
  bitsPerPixel_ = 16;
  redMask_ = maskA;
  greenMask_ = maskB;
  blueMask_ = maskC;
  alphaMask_ = 0;
}

void CTgaImage::Resize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  const int bpp = BytesPerPixel();
  // Every pixel size is resampled, so the data always matches the size.
  if (bpp == 0 || data_.empty()) {
    width_ = width;
    height_ = height;
    return;
  }
  const std::int64_t stepY = (static_cast<std::int64_t>(height_) << 16) / height;
  const std::int64_t stepX = (static_cast<std::int64_t>(width_) << 16) / width;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bpp);
  for (int y = 0; y < height; ++y) {
    const std::size_t sy = static_cast<std::size_t>((y * stepY) >> 16);
    for (int x = 0; x < width; ++x) {
      const std::size_t sx = static_cast<std::size_t>((x * stepX) >> 16);
      std::memcpy(out.data() + (static_cast<std::size_t>(y) * width + x) * bpp,
                  data_.data() + (sy * static_cast<std::size_t>(width_) + sx) * bpp, static_cast<std::size_t>(bpp));
    }
  }
  data_ = std::move(out);
  width_ = width;
  height_ = height;
}

void CTgaImage::Shrink(int factor) {
  if (factor <= 1) return;
  if (bitsPerPixel_ == 16) {
    ShrinkWords16(factor);
    return;
  }
  const int nw = width_ / factor, nh = height_ / factor;
  const int bpp = BytesPerPixel();
  if (data_.empty() || (bpp != 1 && bpp != 3 && bpp != 4)) {
    width_ = nw;
    height_ = nh;
    return;
  }
  std::vector<std::uint8_t> out(static_cast<std::size_t>(nw) * static_cast<std::size_t>(nh) * bpp);
  const std::uint32_t area = static_cast<std::uint32_t>(factor) * static_cast<std::uint32_t>(factor);
  for (int y = 0; y < nh; ++y) {
    for (int x = 0; x < nw; ++x) {
      std::uint8_t* o = out.data() + (static_cast<std::size_t>(y) * nw + x) * bpp;
      if (bpp == 1) {  // palette indices cannot be averaged: the block's first one
        *o = data_[static_cast<std::size_t>(y) * factor * width_ + static_cast<std::size_t>(x) * factor];
        continue;
      }
      for (int c = 0; c < bpp; ++c) {
        std::uint32_t sum = 0;
        for (int j = 0; j < factor; ++j)
          for (int i = 0; i < factor; ++i)
            sum += data_[((static_cast<std::size_t>(y) * factor + j) * width_ + static_cast<std::size_t>(x) * factor + i) * bpp + c];
        o[c] = static_cast<std::uint8_t>(sum / area);
      }
    }
  }
  data_ = std::move(out);
  width_ = nw;
  height_ = nh;
}

void CTgaImage::Shrink16(int factor) {
  if (factor <= 1) return;
  if (bitsPerPixel_ == 16) ShrinkWords16(factor);
  else Shrink(factor);
}

void CTgaImage::ShrinkWords16(int factor) {
  const int nw = width_ / factor, nh = height_ / factor;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(nw) * static_cast<std::size_t>(nh) * 2);
  const std::uint32_t masks[4] = {redMask_, greenMask_, blueMask_, alphaMask_};
  const std::uint64_t area = static_cast<std::uint64_t>(factor) * static_cast<std::uint64_t>(factor);
  for (int y = 0; y < nh; ++y) {
    for (int x = 0; x < nw; ++x) {
      std::uint64_t sum[4] = {};
      for (int j = 0; j < factor; ++j) {
        for (int i = 0; i < factor; ++i) {
          const std::uint32_t p = Word16(x * factor + i, y * factor + j);
          for (int c = 0; c < 4; ++c) sum[c] += p & masks[c];
        }
      }
      std::uint32_t w = 0;
      for (int c = 0; c < 4; ++c) w |= static_cast<std::uint32_t>(sum[c] / area) & masks[c];
      const auto w16 = static_cast<std::uint16_t>(w);
      std::memcpy(out.data() + (static_cast<std::size_t>(y) * nw + x) * 2, &w16, 2);
    }
  }
  data_ = std::move(out);
  width_ = nw;
  height_ = nh;
}

std::uint16_t CTgaImage::Word16(int x, int y) const {
  std::uint16_t w = 0;
  const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 2;
  if (bitsPerPixel_ == 16 && x >= 0 && y >= 0 && x < width_ && y < height_ && i + 2 <= data_.size())
    std::memcpy(&w, data_.data() + i, 2);
  return w;
}

std::uint32_t CTgaImage::Word32(int x, int y) const {
  std::uint32_t w = 0;
  const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
  if (bitsPerPixel_ == 32 && x >= 0 && y >= 0 && x < width_ && y < height_ && i + 4 <= data_.size())
    std::memcpy(&w, data_.data() + i, 4);
  return w;
}

}  // namespace pavix
