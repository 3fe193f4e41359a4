#include "render/mesh.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "datafiles/common/debug_trace.h"
#include "platform/core/file.h"
#include "platform/core/services.h"
#include "render/archive_bytes.h"

namespace {

// Colour of a vertex read from a file: black, alpha 64.
constexpr std::uint32_t kFileVertexColour = 0x40000000u;
constexpr std::uint32_t kBrightMask = kFaceColorKey | kFaceBlended;
constexpr std::uint32_t kBrightFlags = kFaceBright | kFaceNoFade;

class Cursor {
 public:
  Cursor(std::span<const std::uint8_t> bytes, std::size_t& pos) : bytes_(bytes), pos_(pos) {}
  std::uint64_t Remaining() const { return bytes_.size() - pos_; }
  bool Has(std::uint64_t n) const { return n <= Remaining(); }
  const std::uint8_t* Take(std::size_t n) {
    const std::uint8_t* p = bytes_.data() + pos_;
    pos_ += n;
    return p;
  }
  std::uint32_t U32() {
    const std::uint8_t* p = Take(4);
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
  }
  float F32() {
    const std::uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t& pos_;
};

bool Is04D(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 4 && bytes[0] == '0' && bytes[1] == '4' && bytes[2] == 'D';
}

}  // namespace

void CMesh::Free() {
  faces.clear();
  faces.shrink_to_fit();
  vertices.clear();
  vertices.shrink_to_fit();
  grid.clear();
  grid.shrink_to_fit();
  gridWidth = gridHeight = 0;
  loadedFaceCount = loadedVertexCount = 0;
}

void CMesh::ComputeHeight() {
  height = kNoMeshHeight;
  for (const CMeshVertex& v : vertices) height = std::max(height, v.y);
}

std::uint8_t CMesh::FootprintCell(int x, int y) const {
  if (x < 0 || y < 0 || x >= FootprintColumns() || y >= FootprintRows()) return 0;
  const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(FootprintColumns()) +
                        static_cast<std::size_t>(x);
  return i < grid.size() ? grid[i] : 0;
}

MeshError CMesh::ReadBody(std::span<const std::uint8_t> bytes, std::size_t& pos, bool withHeader) {
  Cursor in(bytes, pos);
  if (!in.Has(16)) return MeshError::kTruncated;
  const std::uint32_t vertexCount = in.U32();
  const std::uint32_t faceCount = in.U32();
  in.U32();  // the two counts again
  in.U32();
  if (!in.Has(std::uint64_t(vertexCount) * 12 + std::uint64_t(faceCount) * kFaceRecordSize)) {
    return MeshError::kTruncated;
  }
  vertices.resize(vertexCount);
  for (CMeshVertex& v : vertices) {
    v.x = in.F32();
    v.y = in.F32();
    v.z = in.F32();
    v.color = kFileVertexColour;
  }
  faces.resize(faceCount);
  for (CFace& f : faces) {
    f.Parse(in.Take(kFaceRecordSize));
    for (int k = 0; k < f.vertexCount; ++k) {
      if (f.index[k] >= vertexCount) return MeshError::kBadIndex;
    }
    if ((f.flags & kBrightMask) == kBrightMask) {
      f.flags |= kBrightFlags;
      if (withHeader) f.flags |= kFaceSmooth;
    } else if (withHeader || !(f.flags & kFaceFileNoSmooth)) {
      f.flags |= kFaceSmooth;
    }
  }
  loadedVertexCount = vertexCount;
  loadedFaceCount = faceCount;
  return MeshError::kNone;
}

MeshError CMesh::ReadRawBytes(std::span<const std::uint8_t> bytes) {
  Free();
  std::size_t pos = 0;
  const MeshError e = ReadBody(bytes, pos, false);
  if (e != MeshError::kNone) Free();
  return e;
}

MeshError CMesh::ReadBytes(std::span<const std::uint8_t> bytes) {
  if (!Is04D(bytes)) return ReadRawBytes(bytes);
  Free();
  std::size_t pos = 4;
  MeshError e = MeshError::kNone;
  if (bytes.size() < 8) {
    e = MeshError::kTruncated;
  } else {
    Cursor in(bytes, pos);
    if (in.U32() != 1) e = MeshError::kBadVersion;
  }
  if (e == MeshError::kNone) e = ReadBody(bytes, pos, true);
  if (e == MeshError::kNone) {
    Cursor in(bytes, pos);
    if (!in.Has(8)) {
      e = MeshError::kTruncated;
    } else {
      const std::uint32_t w = in.U32();
      const std::uint32_t h = in.U32();
      const std::uint64_t size = std::uint64_t(w) * h * 9;
      if (w > 0x7FFFFFFF / 3 || h > 0x7FFFFFFF / 3 || !in.Has(size)) {
        e = MeshError::kTruncated;
      } else {
        const std::uint8_t* p = in.Take(static_cast<std::size_t>(size));
        if (size != 0) {  // a grid without cells is no grid
          gridWidth = static_cast<int>(w);
          gridHeight = static_cast<int>(h);
          grid.assign(p, p + size);
        }
      }
    }
  }
  if (e != MeshError::kNone) Free();
  return e;
}

int CMesh::Finish(const char* path, MeshError error) {
  ComputeHeight();
  if (error == MeshError::kNone) return 1;
  std::string text;
  char buf[600];
  switch (error) {
    case MeshError::kTruncated:
      std::snprintf(buf, sizeof buf, "Error while reading %s, error = %u\n", path,
                    static_cast<unsigned>(platform::kCauseEndOfFile));
      break;
    case MeshError::kBadIndex:
      std::snprintf(buf, sizeof buf, "Mesh %s is damaged: a face uses a vertex the mesh does not have.\n", path);
      break;
    default:
      std::snprintf(buf, sizeof buf, "Mesh %s is of an unknown version.\n", path);
      break;
  }
  DebugTrace("%s", buf);
  platform::MessageBox(buf, "", platform::kMbOk);
  return 0;
}

int CMesh::Load(const char* path) {
  Free();
  std::vector<std::uint8_t> bytes;
  if (!ReadArchiveFile(path, bytes)) {
    ComputeHeight();
    return 0;
  }
  return Finish(path, ReadBytes(bytes));
}

int CMesh::LoadRaw(const char* path) {
  Free();
  std::vector<std::uint8_t> bytes;
  if (!ReadArchiveFile(path, bytes)) {
    ComputeHeight();
    return 0;
  }
  return Finish(path, ReadRawBytes(bytes));
}
