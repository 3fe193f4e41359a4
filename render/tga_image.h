#pragma once
// An uncompressed true-colour TGA picture in memory, and its conversions to
// the 16-bit formats the renderers use.
#include <cstdint>
#include <vector>

// Pixel bytes B, G, R, A as one little-endian word.
struct TgaPixel {
  std::uint8_t b = 0, g = 0, r = 0, a = 0;
};

class CTgaImage {
 public:
  CTgaImage() = default;

  void Free();
  // 1 when the file (loose or in an archive) held a 24- or 32-bit
  // uncompressed true-colour image, else 0 and the image stays empty.
  int Load(const char* file);

  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetBitsPerPixel() const { return bitsPerPixel_; }
  const std::uint8_t* GetData() const { return data_.data(); }
  std::uint8_t* GetData() { return data_.data(); }
  std::size_t GetDataSize() const { return data_.size(); }

  // 32 bits: the stored bytes; 24 bits: B, G, R and 64; else (or outside) zeros.
  TgaPixel GetPixel(int x, int y) const;
  // 24-bit images only: alpha 0 for pure black, 255 for every other pixel.
  void AddAlpha();
  // To a surface format given by its masks; 0 for an image neither 24 nor 32 bits.
  int ConvertTo16(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, std::uint32_t alphaMask);
  int ConvertTo32(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, std::uint32_t alphaMask);
  // To the software renderer's 4-4-4 word with screen-door alpha.
  int ConvertTo444();
  // Row i and row height - 1 - i change places.
  int FlipRows();

  // For tests and tools: an image made in memory (rows as stored).
  void Assign(int width, int height, int bitsPerPixel, std::vector<std::uint8_t> data);

 private:
  template <typename Word>
  int ConvertMasks(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, std::uint32_t alphaMask);

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::uint8_t> data_;
  std::vector<std::uint8_t> second_;  // kept with the image; never filled
  std::int32_t bitsPerPixel_ = 0;
};

// The screen-door pattern of the 4-4-4 conversion: [level][y & 3][x & 3].
bool ScreenDoorCell(int level, int y, int x);
