#include "render/mbr_list.h"

#include "datafiles/byte_source.h"
#include "platform/core/paths.h"

namespace {

constexpr std::uint64_t kVertexBytes = 12;
constexpr std::uint64_t kVertexWordBytes = 4;
// Version, two names, pivot, eight points, the two counts.
constexpr std::uint64_t kPartHeadBytes = 2 + 2 * kMbrNameSize + 12 + 96 + 8;

bool ReadFloats(ByteSource& in, float* out, int n) {
  for (int i = 0; i < n; ++i) {
    if (!in.F32(out[i])) return false;
  }
  return true;
}

// n face records, every corner checked: own corners must name one of the
// part's vertices; a seam face's corner may instead be negative.
SkeletonFileError ReadFaces(ByteSource& in, std::vector<CFace>& faces, std::uint32_t n, std::uint32_t vertexCount,
                            bool seam) {
  if (n > in.Remaining() / kFaceRecordSize) return SkeletonFileError::kTruncated;
  faces.resize(n);
  for (CFace& f : faces) {
    std::uint8_t record[kFaceRecordSize];
    if (!in.Read(record, sizeof record)) return SkeletonFileError::kTruncated;
    f.Parse(record);
    for (int k = 0; k < f.vertexCount; ++k) {
      if (seam && static_cast<std::int16_t>(f.index[k]) < 0) continue;
      if (f.index[k] >= vertexCount) return SkeletonFileError::kBadIndex;
    }
  }
  return SkeletonFileError::kNone;
}

SkeletonFileError ReadPart(ByteSource& in, CMbrPart& part) {
  std::uint16_t version = 0;
  if (!in.U16(version)) return SkeletonFileError::kTruncated;
  if (version != 1 && version != 2) return SkeletonFileError::kBadRecord;
  if (in.Remaining() < kPartHeadBytes - 2) return SkeletonFileError::kTruncated;
  in.Fixed(part.name, sizeof part.name);
  in.Skip(kMbrNameSize);
  ReadFloats(in, part.pivot, 3);
  ReadFloats(in, &part.points[0][0], 24);
  std::uint32_t vertexCount = 0, faceCount = 0;
  in.U32(vertexCount);
  in.U32(faceCount);
  const std::uint64_t body = vertexCount * (kVertexBytes + kVertexWordBytes) + std::uint64_t(faceCount) * kFaceRecordSize;
  if (body > in.Remaining()) return SkeletonFileError::kTruncated;
  part.vertices.resize(vertexCount);
  for (CMeshVertex& v : part.vertices) {
    in.F32(v.x);
    in.F32(v.y);
    in.F32(v.z);
    v.color = kMbrVertexColour;
  }
  if (const SkeletonFileError e = ReadFaces(in, part.faces, faceCount, vertexCount, false); e != SkeletonFileError::kNone) {
    return e;
  }
  in.Skip(std::uint64_t(vertexCount) * kVertexWordBytes);
  if (version == 1) {
    part.values[0] = part.points[0][0];
    part.values[1] = part.points[0][1];
    part.values[2] = part.points[0][2];
    return in.failed() ? SkeletonFileError::kTruncated : SkeletonFileError::kNone;
  }
  std::uint32_t extraCount = 0;
  if (!in.U32(extraCount)) return SkeletonFileError::kTruncated;
  if (extraCount > in.Remaining() / (kFaceRecordSize + kMbrExtraRecordSize)) return SkeletonFileError::kTruncated;
  if (const SkeletonFileError e = ReadFaces(in, part.extraFaces, extraCount, vertexCount, true);
      e != SkeletonFileError::kNone) {
    return e;
  }
  part.extraRecords.resize(extraCount);
  for (auto& r : part.extraRecords) in.Read(r.data(), r.size());
  if (!ReadFloats(in, part.values, 6)) return SkeletonFileError::kTruncated;
  return SkeletonFileError::kNone;
}

}  // namespace

std::array<std::int16_t, 5> CMbrPart::ExtraRecord(int i) const {
  std::array<std::int16_t, 5> out{};
  if (i < 0 || i >= ExtraCount()) return out;
  const auto& r = extraRecords[static_cast<std::size_t>(i)];
  for (std::size_t k = 0; k < out.size(); ++k) {
    out[k] = static_cast<std::int16_t>(r[2 * k] | (r[2 * k + 1] << 8));
  }
  return out;
}

int CMbrList::Load(const char* path) {
  return LoadSkeletonFile(path, "Error while reading %s", [this](std::span<const std::uint8_t> b) { return ReadBytes(b); });
}

SkeletonFileError CMbrList::ReadBytes(std::span<const std::uint8_t> bytes) {
  Clear();
  return ReadSkeletonRecords(bytes, kPartHeadBytes, parts_, ReadPart);
}

const CMbrPart* CMbrList::Find(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (const CMbrPart& p : parts_) {
    if (platform::EqualsNoCase(p.name, name)) return &p;
  }
  return nullptr;
}
