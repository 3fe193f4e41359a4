#include "meshedit/core/o3d_file.h"

#include <cstring>

#include "datafiles/common/little_endian.h"
#include "meshedit/core/coordinate_limit.h"
#include "meshedit/core/mtf_file.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/shape.h"
#include "platform/core/file.h"

namespace pavix {

std::vector<std::uint8_t> EncodeO3d(const CShape& shape) {
  std::vector<std::uint8_t> out;
  if (shape.VertexCount() > kO3dMaxVertices) return out;
  const auto nv = static_cast<std::uint32_t>(shape.vertices.size());
  const auto ns = static_cast<std::uint32_t>(shape.sides.size());
  out.reserve(kO3dHeaderSize + kO3dVertexSize * nv + kO3dSideSize * ns);
  AppendLe32(out, nv);
  AppendLe32(out, ns);
  AppendLe32(out, nv);
  AppendLe32(out, ns);
  for (const CShapeVertex& v : shape.vertices) {
    AppendLeF32(out, v.position.x);
    AppendLeF32(out, v.position.y);
    AppendLeF32(out, v.position.z);
  }
  for (const CSide& s : shape.sides) {
    AppendLe32(out, kO3dFaceColour);
    for (const CUv& uv : s.uv) {
      AppendLeF32(out, uv.u * 256.0f);
      AppendLeF32(out, uv.v * 256.0f);
    }
    for (int j = 0; j < 3; ++j) AppendLe16(out, static_cast<std::uint16_t>(s.index[j]));
    AppendLe16(out, s.index[3] == s.index[2] ? 0xFFFF : static_cast<std::uint16_t>(s.index[3]));
    std::uint32_t flags = 1;
    if (s.flags & kSideFlag2) flags |= 1u << 2;
    if (s.flags & kSideTransparent) flags |= 1u << 3;
    if (s.flags & kSideTranslucent) flags |= 1u << 4;
    AppendLe32(out, flags);
    AppendLe16(out, static_cast<std::uint16_t>(s.texture & kTextureIdMask));
  }
  return out;
}

bool DecodeO3d(std::span<const std::uint8_t> bytes, CShape& shape) {
  if (bytes.size() < kO3dHeaderSize) return false;
  const std::uint32_t nv = LoadLe32(bytes.data());
  const std::uint32_t ns = LoadLe32(bytes.data() + 4);
  const std::uint64_t expected = kO3dHeaderSize + std::uint64_t{kO3dVertexSize} * nv + std::uint64_t{kO3dSideSize} * ns;
  if (bytes.size() != expected) return false;

  std::vector<CShapeVertex> vertices(nv);
  const std::uint8_t* p = bytes.data() + kO3dHeaderSize;
  for (CShapeVertex& v : vertices) {
    v.position = {LoadLeF32(p), LoadLeF32(p + 4), LoadLeF32(p + 8)};
    if (!IsUsablePosition(v.position)) return false;
    p += kO3dVertexSize;
  }
  std::vector<CSide> sides(ns);
  for (CSide& s : sides) {
    for (int j = 0; j < 4; ++j) {
      s.uv[j].u = LoadLeF32(p + 4 + 8 * j) * 0.00390625f;
      s.uv[j].v = LoadLeF32(p + 8 + 8 * j) * 0.00390625f;
    }
    for (int j = 0; j < 3; ++j) s.index[j] = LoadLe16(p + 36 + 2 * j);
    const std::uint16_t last = LoadLe16(p + 42);
    s.index[3] = last == 0xFFFF ? s.index[2] : last;
    for (std::uint32_t i : s.index)
      if (i >= nv) return false;
    const std::uint32_t fileFlags = LoadLe32(p + 44);
    s.flags = kSideListed;
    if (fileFlags & (1u << 2)) s.flags |= kSideFlag2;
    if (fileFlags & (1u << 3)) s.flags |= kSideTransparent;
    if (fileFlags & (1u << 4)) s.flags |= kSideTranslucent;
    s.texture = LoadLe16(p + 48) & kTextureIdMask;
    p += kO3dSideSize;
  }
  shape.vertices = std::move(vertices);
  shape.sides = std::move(sides);
  shape.mrm.count = 0;
  shape.mrm.order = {};
  shape.mrm.uv = {};
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.Rebuild();
  return true;
}

int CShape::SaveO3d(std::string_view path, O3dSaveReport* report) {
  O3dSaveReport local;
  O3dSaveReport& r = report ? *report : local;
  r = {};
  const std::vector<std::uint8_t> bytes = EncodeO3d(*this);
  if (bytes.empty()) {
    r.tooManyVertices = true;
    return 0;
  }
  const std::string target = ReplaceExtension(path, ".O3D");
  platform::File file;
  platform::FileException error(platform::kCauseNone, 0, target);
  if (!file.Open(target, platform::File::modeCreate | platform::File::modeWrite | platform::File::modeSafeSave,
                 &error)) {
    r.cause = error.cause();
    return 0;
  }
  // The name the file has on disk: an existing file of another case is
  // written over, not doubled.
  const std::string written = file.nativePath();
  try {
    file.Write(bytes);
    file.Close();
  } catch (const platform::FileException& e) {
    file.Abort();
    r.cause = e.cause();
    return 0;
  }
  r.path = written;
  if (nodes.empty()) SetSingleNode({0, 0, 0}, {0, 0, 1});
  Rebuild();
  return 1;
}

int CShape::LoadO3d(std::string_view path) {
  MtfFilePtr file(MtfOpen(ReplaceExtension(path, ".O3D"), "rb"));
  if (!file) return 0;
  return DecodeO3d(std::span(file->data.data(), file->size), *this) ? 1 : 0;
}

}  // namespace pavix
