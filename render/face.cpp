#include "render/face.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "datafiles/mtf_archive.h"
#include "platform/core/file.h"

namespace {

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
float F32(const std::uint8_t* p) {
  const std::uint32_t bits = U32(p);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

}  // namespace

void CFace::Parse(const std::uint8_t* r) {
  color = U32(r);
  for (int i = 0; i < 4; ++i) {
    uv[i].u = F32(r + 4 + i * 8);
    uv[i].v = F32(r + 8 + i * 8);
  }
  for (int i = 0; i < 4; ++i) index[i] = U16(r + 36 + i * 2);
  flags = U32(r + 44);
  depth = U16(r + 48);
  UpdateVertexCount();
}

bool CFace::Read(MtfFile* file) {
  std::uint8_t record[kFaceRecordSize];
  if (MtfRead(record, sizeof record, 1, file) != 1) return false;
  Parse(record);
  return true;
}

void CFace::ReadStream(platform::File& file) {
  std::uint8_t record[kFaceRecordSize];
  if (file.Read(record, sizeof record) != sizeof record) {
    throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
  }
  Parse(record);
}

void CFace::UpdateVertexCount() {
  if (index[1] == kNoVertex) {
    vertexCount = 1;
  } else if (index[2] == kNoVertex) {
    vertexCount = 2;
  } else if (index[3] == kNoVertex) {
    vertexCount = 3;
  } else {
    vertexCount = 4;
  }
}

namespace {
void DefaultCoordinates(CFace& f) {
  f.uv[0] = {0.0f, 0.0f};
  f.uv[1] = {1.0f, 0.0f};
  f.uv[2] = {0.0f, 1.0f};
  f.uv[3] = {0.0f, 1.0f};
}
}  // namespace

void CFace::InitLine(std::uint32_t f, std::uint32_t colour, std::uint16_t i0, std::uint16_t i1) {
  DefaultCoordinates(*this);
  flags = f;
  color = colour;
  index[0] = i0;
  index[1] = i1;
  index[2] = index[3] = kNoVertex;
  depth = 0;
  spare = 0;
  vertexCount = i1 == kNoVertex ? 1 : 2;
}

void CFace::InitTriangle(std::uint32_t f, std::uint32_t owner, std::uint16_t i0, std::uint16_t i1,
                         std::uint16_t i2) {
  InitTriangleColour(f, owner, i0, i1, i2);
}

void CFace::InitTriangleColour(std::uint32_t f, std::uint32_t colour, std::uint16_t i0, std::uint16_t i1,
                               std::uint16_t i2) {
  InitQuad(f, colour, i0, i1, i2, kNoVertex);
}

void CFace::InitQuad(std::uint32_t f, std::uint32_t owner, std::uint16_t i0, std::uint16_t i1, std::uint16_t i2,
                     std::uint16_t i3) {
  DefaultCoordinates(*this);
  flags = f;
  color = owner;
  index[0] = i0;
  index[1] = i1;
  index[2] = i2;
  index[3] = i3;
  depth = 0;
  spare = 0;
  UpdateVertexCount();
}

void CFace::InitTriangleUV(std::uint32_t f, std::uint32_t colour, std::uint16_t i0, std::uint16_t i1,
                           std::uint16_t i2, float u0, float v0, float u1, float v1, float u2, float v2,
                           std::uint16_t d) {
  uv[0] = {u0, v0};
  uv[1] = {u1, v1};
  uv[2] = {u2, v2};
  uv[3] = uv[0];
  flags = f;
  color = colour;
  index[0] = i0;
  index[1] = i1;
  index[2] = i2;
  index[3] = kNoVertex;
  depth = d;
  spare = 0;
  UpdateVertexCount();
}

void CFace::Reverse() {
  const int n = std::clamp<int>(vertexCount, 0, 4);
  for (int i = 0, j = n - 1; i < j; ++i, --j) {
    std::swap(index[i], index[j]);
    std::swap(uv[i], uv[j]);
  }
}

void CFace::Rotate() {
  const int n = vertexCount;
  if (n != 3 && n != 4) return;
  const std::uint16_t firstIndex = index[0];
  const UV firstUV = uv[0];
  for (int i = 0; i + 1 < n; ++i) {
    index[i] = index[i + 1];
    uv[i] = uv[i + 1];
  }
  index[n - 1] = firstIndex;
  uv[n - 1] = firstUV;
}
