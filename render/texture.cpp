#include "render/texture.h"

int CTexture::Load(const char* file) {
  image_ = std::make_unique<CTgaImage>();
  if (!image_->Load(file)) return 0;
  image_->FlipRows();
  image_->ConvertTo444();
  return 1;
}
