#pragma once
// A renderer's texture slot: one owned image in the software renderer's
// 4-4-4 form, or nothing.
#include <memory>

#include "render/tga_image.h"

class CTexture {
 public:
  CTexture() = default;
  ~CTexture() { Release(); }
  CTexture(const CTexture&) = delete;
  CTexture& operator=(const CTexture&) = delete;

  // 1 when the file was loaded, turned upside down and converted to 4-4-4.
  // On failure an empty image stays.
  int Load(const char* file);
  void Release() { image_.reset(); }
  CTgaImage* GetImage() const { return image_.get(); }

 private:
  std::unique_ptr<CTgaImage> image_;
};
