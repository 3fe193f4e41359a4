#pragma once
// Body-part files (".mbr"): the meshes the bones of a skin carry, each with
// its pivot, eight attach points and, from version 2, the seam faces that
// join it to other parts.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "render/face.h"
#include "render/mesh_vertex.h"
#include "render/skeleton_file.h"

inline constexpr std::size_t kMbrNameSize = 48;
inline constexpr std::size_t kMbrExtraRecordSize = 10;
// Colour of a part's vertices: grey 127, alpha 64.
inline constexpr std::uint32_t kMbrVertexColour = 0x407F7F7Fu;

struct CMbrPart {
  char name[kMbrNameSize] = {};
  float pivot[3] = {};
  // Where the part points: version 1 files give the first point here.
  float values[6] = {};
  float points[8][3] = {};
  std::vector<CFace> faces;
  std::vector<CMeshVertex> vertices;
  // Seam faces: a corner that is negative (as a signed 16-bit value) lies in
  // another part; its record (five i16: an identifier and one value a corner)
  // says which.
  std::vector<CFace> extraFaces;
  std::vector<std::array<std::uint8_t, kMbrExtraRecordSize>> extraRecords;

  int FaceCount() const { return static_cast<int>(faces.size()); }
  int VertexCount() const { return static_cast<int>(vertices.size()); }
  int ExtraCount() const { return static_cast<int>(extraFaces.size()); }
  // The record's five values.
  std::array<std::int16_t, 5> ExtraRecord(int i) const;
};

class CMbrList {
 public:
  // 1 when the file was read whole; else 0 and an empty list. A missing
  // file shows "Error while reading %s".
  int Load(const char* path);
  SkeletonFileError ReadBytes(std::span<const std::uint8_t> bytes);
  void Clear() { parts_.clear(); }

  int Count() const { return static_cast<int>(parts_.size()); }
  const CMbrPart& Part(int i) const { return parts_[static_cast<std::size_t>(i)]; }
  // The first part of that name, ignoring case; null when none.
  const CMbrPart* Find(std::string_view name) const;

 private:
  std::vector<CMbrPart> parts_;
};
