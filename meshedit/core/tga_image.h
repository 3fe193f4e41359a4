#pragma once
// The mesh editor's texture image: an uncompressed true-colour TGA read
// through the file layer, turned into the texture surface's pixel words
// (16 or 32 bits, or a bump map) and reduced for smaller levels.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace pavix {

struct MtfFile;

class CTgaImage {
 public:
  CTgaImage() = default;

  void Free();
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetBitsPerPixel() const { return bitsPerPixel_; }
  const std::uint8_t* GetData() const { return data_.data(); }
  std::uint8_t* GetData() { return data_.data(); }
  std::size_t GetDataSize() const { return data_.size(); }
  std::uint32_t RedMask() const { return redMask_; }
  std::uint32_t GreenMask() const { return greenMask_; }
  std::uint32_t BlueMask() const { return blueMask_; }
  std::uint32_t AlphaMask() const { return alphaMask_; }

  // Loads "<name>.TGA" (whatever extension the name has). 1 on success, and
  // for a file of another depth (16 bits, say) or without pixels, which
  // leave the image empty; 0 when the file is missing, is not an
  // uncompressed true-colour file or holds fewer bytes than its size needs.
  int Load(std::string_view file);
  // The same from an open file.
  int Read(MtfFile* file);
  // An image given directly: 8-bit images take a palette of 4 bytes an entry
  // (B, G, R, unused). False when the pixels do not fit the size.
  bool Assign(int width, int height, int bitsPerPixel, std::span<const std::uint8_t> pixels,
              std::span<const std::uint8_t> palette = {});

  void FlipRows();
  void ConvertTo16(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, std::uint32_t alphaMask);
  void ConvertTo32(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, std::uint32_t alphaMask);
  void ConvertToBump(std::uint32_t maskA, std::uint32_t maskB, std::uint32_t maskC);
  // Nearest-neighbour resampling.
  void Resize(int width, int height);
  // Box-filter reduction by an integer factor.
  void Shrink(int factor);
  void Shrink16(int factor);

  // The 16-bit word of pixel (x, y) after ConvertTo16, the 32-bit word after ConvertTo32.
  std::uint16_t Word16(int x, int y) const;
  std::uint32_t Word32(int x, int y) const;

 private:
  int BytesPerPixel() const { return bitsPerPixel_ / 8; }
  template <typename Word>
  void ConvertMasks(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a, int bits);
  void ShrinkWords16(int factor);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> data_;
  int bitsPerPixel_ = 0;
  std::vector<std::uint8_t> palette_;
  std::uint32_t redMask_ = 0, greenMask_ = 0, blueMask_ = 0, alphaMask_ = 0;
};

}  // namespace pavix
