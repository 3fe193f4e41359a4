#pragma once
// Skeleton files (".ska", ".mdl", ".mbr", ".anb") made byte by byte for
// tests, with every version and count under the test's control.
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "render/vector3.h"
#include "support/bytes.h"

namespace rendertest {

inline constexpr std::uint32_t kAsGiven = std::numeric_limits<std::uint32_t>::max();

struct SkinSpec {
  std::string name;
  std::string model;
  std::vector<std::string> parts;  // bone i's part; the rest empty
  std::uint16_t version = 1;
};

struct BoneSpec {
  std::string name;
  std::string parent;
  std::uint16_t version = 1;
};

struct ModelSpec {
  std::string name;
  std::vector<BoneSpec> bones;
  std::uint16_t version = 1;
  std::uint32_t storedBoneCount = kAsGiven;
};

struct FaceSpec {
  std::array<std::uint16_t, 4> index{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
  std::uint32_t flags = 0x4;
  std::uint32_t colour = 0x40808080u;
  std::uint16_t texture = 0;
};

struct PartSpec {
  std::uint16_t version = 2;
  std::string name;
  CVector3 pivot;
  std::array<CVector3, 8> points{};
  std::vector<CVector3> vertices;
  std::vector<FaceSpec> faces;
  std::vector<FaceSpec> extraFaces;
  std::vector<std::array<std::int16_t, 5>> extraRecords;  // one a seam face
  std::array<float, 6> values{};
};

struct KeySpec {
  std::uint32_t frame = 0;
  CVector3 position;
  CVector3 root;
  std::vector<CVector3> rotations;  // Euler angles
  std::uint16_t version = 1;
};

struct AnimSpec {
  std::uint16_t version = 1;
  std::string name;
  std::string second;
  std::string third;
  std::int32_t lastFrame = 0;
  std::int32_t rate = 25;
  std::vector<std::int16_t> boneMap;
  std::vector<KeySpec> keys;
  std::uint32_t storedBoneCount = kAsGiven;
};

inline std::vector<std::uint8_t> SkaFile(const std::vector<SkinSpec>& skins, std::uint16_t version = 1) {
  testsupport::Bytes b;
  b.u16(version).u32(static_cast<std::uint32_t>(skins.size()));
  for (const SkinSpec& s : skins) {
    b.u16(s.version);
    if (s.version != 1) continue;
    b.fixed(s.name, 64).fixed(s.model, 64);
    for (std::size_t i = 0; i < 64; ++i) b.fixed(i < s.parts.size() ? s.parts[i] : "", 64);
  }
  return b.data();
}

inline std::vector<std::uint8_t> MdlFile(const std::vector<ModelSpec>& models, std::uint16_t version = 1) {
  testsupport::Bytes b;
  b.u16(version).u32(static_cast<std::uint32_t>(models.size()));
  for (const ModelSpec& m : models) {
    b.u16(m.version);
    if (m.version != 1) continue;
    b.u32(m.storedBoneCount == kAsGiven ? static_cast<std::uint32_t>(m.bones.size()) : m.storedBoneCount);
    b.fixed(m.name, 64);
    for (const BoneSpec& bone : m.bones) {
      b.u16(bone.version);
      if (bone.version != 1) continue;
      b.fixed(bone.name, 64).fixed(bone.parent, 64);
      for (int i = 0; i < 8; ++i) b.fixed("unused" + std::to_string(i), 64);
    }
  }
  return b.data();
}

inline void PutVector(testsupport::Bytes& b, const CVector3& v) { b.f32(v.x).f32(v.y).f32(v.z); }

inline void PutFace(testsupport::Bytes& b, const FaceSpec& f) {
  b.u32(f.colour);
  for (int i = 0; i < 8; ++i) b.f32(static_cast<float>(i));
  for (std::uint16_t i : f.index) b.u16(i);
  b.u32(f.flags).u16(f.texture);
}

inline std::vector<std::uint8_t> MbrFile(const std::vector<PartSpec>& parts, std::uint16_t version = 1) {
  testsupport::Bytes b;
  b.u16(version).u32(static_cast<std::uint32_t>(parts.size()));
  for (const PartSpec& p : parts) {
    b.u16(p.version).fixed(p.name, 48).fixed("second " + p.name, 48);
    PutVector(b, p.pivot);
    for (const CVector3& v : p.points) PutVector(b, v);
    b.u32(static_cast<std::uint32_t>(p.vertices.size())).u32(static_cast<std::uint32_t>(p.faces.size()));
    for (const CVector3& v : p.vertices) PutVector(b, v);
    for (const FaceSpec& f : p.faces) PutFace(b, f);
    for (std::size_t i = 0; i < p.vertices.size(); ++i) b.u32(0xDEADBEEF);
    if (p.version != 2) continue;
    b.u32(static_cast<std::uint32_t>(p.extraFaces.size()));
    for (const FaceSpec& f : p.extraFaces) PutFace(b, f);
    for (const auto& r : p.extraRecords) {
      for (std::int16_t v : r) b.u16(static_cast<std::uint16_t>(v));
    }
    for (float v : p.values) b.f32(v);
  }
  return b.data();
}

inline std::vector<std::uint8_t> AnbFile(const std::vector<AnimSpec>& anims, std::uint16_t version = 1) {
  testsupport::Bytes b;
  b.u16(version).u32(static_cast<std::uint32_t>(anims.size()));
  for (const AnimSpec& a : anims) {
    b.u16(a.version);
    if (a.version < 1 || a.version > 3) continue;
    b.fixed(a.name, 64).fixed(a.second, 64).fixed(a.third, 64);
    b.i32(7).i32(a.lastFrame).i32(9).i32(a.rate);
    b.u32(a.storedBoneCount == kAsGiven ? static_cast<std::uint32_t>(a.boneMap.size()) : a.storedBoneCount);
    for (std::int16_t g : a.boneMap) b.u16(static_cast<std::uint16_t>(g));
    for (std::size_t i = 0; i < a.boneMap.size(); ++i) b.fixed("bone" + std::to_string(i), 64);
    b.u32(static_cast<std::uint32_t>(a.keys.size()));
    for (const KeySpec& k : a.keys) {
      b.u32(k.frame).u16(k.version);
      if (k.version != 1) continue;
      b.u32(static_cast<std::uint32_t>(k.rotations.size()));
      PutVector(b, k.position);
      PutVector(b, k.root);
      for (const CVector3& r : k.rotations) PutVector(b, r);
    }
    if (a.version == 3) b.i32(31).i32(32).i32(33).i32(34);
    if (a.version == 2) b.i32(21);
  }
  return b.data();
}

}  // namespace rendertest
