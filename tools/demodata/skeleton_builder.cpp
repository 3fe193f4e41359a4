#include "tools/demodata/skeleton_builder.h"

#include <array>
#include <stdexcept>

#include "datafiles/common/little_endian.h"
#include "render/mbr_list.h"
#include "render/mdl_list.h"
#include "render/ska_list.h"
#include "render/skinned_model.h"

namespace {

constexpr std::size_t kName = 64;
constexpr std::size_t kPartName = 48;
constexpr std::uint32_t kSideColour = 0xFF808080u;
constexpr std::uint32_t kTexturedSmooth = 0x5;
// A key's height is stored 256 above the model's origin.
constexpr float kKeyRaise = 256.0f;
constexpr float kTexels = 255.0f;

void Text(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size) {
  if (text.size() >= size) throw std::length_error("name too long for a skeleton file: " + text);
  out.insert(out.end(), text.begin(), text.end());
  out.insert(out.end(), size - text.size(), 0);
}

void PutPoint(std::vector<std::uint8_t>& out, DemoPoint p) {
  AppendLeF32(out, p.x);
  AppendLeF32(out, p.y);
  AppendLeF32(out, p.z);
}

void Vector(std::vector<std::uint8_t>& out, const CVector3& v) { PutPoint(out, {v.x, v.y, v.z}); }

DemoPoint Sub(DemoPoint a, DemoPoint b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
DemoPoint Cross(DemoPoint a, DemoPoint b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(DemoPoint a, DemoPoint b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The box's eight corners and six sides, each side's corners turned so that
// its first three give the outward normal.
struct Box {
  std::vector<DemoPoint> vertices;
  std::vector<std::array<std::uint16_t, 4>> sides;
};

Box MakeBox(DemoPoint lo, DemoPoint hi) {
  Box b;
  for (int i = 0; i < 8; ++i) {
    b.vertices.push_back({(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z});
  }
  const std::array<std::array<std::uint16_t, 4>, 6> sides = {{
      {0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}}};
  const DemoPoint centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
  for (std::array<std::uint16_t, 4> s : sides) {
    const DemoPoint a = b.vertices[s[0]], c1 = b.vertices[s[1]], c2 = b.vertices[s[2]];
    const DemoPoint out = Sub(a, centre);
    if (Dot(Cross(Sub(c1, a), Sub(c2, a)), out) < 0.0f) std::swap(s[1], s[3]);
    b.sides.push_back(s);
  }
  return b;
}

}  // namespace

void SkeletonBuilder::AddBone(const std::string& name, const std::string& parent, DemoPoint lo, DemoPoint hi,
                              DemoPoint direction, const std::vector<DemoPoint>& points, std::uint16_t texture) {
  if (points.size() > 8) throw std::length_error("a part has eight attach points");
  bones_.push_back({name, parent, lo, hi, direction, points, texture});
}

void SkeletonBuilder::AddAnimation(const std::string& name, const std::string& second, int lastFrame, int rate,
                                   const std::vector<Key>& keys) {
  animations_.push_back({name, second, lastFrame, rate, keys});
}

std::vector<std::uint8_t> SkeletonBuilder::Ska() const {
  std::vector<std::uint8_t> out;
  AppendLe16(out, 1);
  AppendLe32(out, static_cast<std::uint32_t>(skins_.size()));
  for (const std::string& skin : skins_) {
    AppendLe16(out, 1);
    Text(out, skin, kName);
    Text(out, modelName_, kName);
    for (std::size_t i = 0; i < 64; ++i) Text(out, i < bones_.size() ? bones_[i].name : "", kName);
  }
  return out;
}

std::vector<std::uint8_t> SkeletonBuilder::Mdl() const {
  std::vector<std::uint8_t> out;
  AppendLe16(out, 1);
  AppendLe32(out, 1);
  AppendLe16(out, 1);
  AppendLe32(out, static_cast<std::uint32_t>(bones_.size()));
  Text(out, modelName_, kName);
  for (const Bone& b : bones_) {
    AppendLe16(out, 1);
    Text(out, b.name, kName);
    Text(out, b.parent, kName);
    for (int i = 0; i < 8; ++i) Text(out, "", kName);
  }
  return out;
}

std::vector<std::uint8_t> SkeletonBuilder::Mbr() const {
  std::vector<std::uint8_t> out;
  AppendLe16(out, 1);
  AppendLe32(out, static_cast<std::uint32_t>(bones_.size()));
  for (const Bone& b : bones_) {
    const Box box = MakeBox(b.lo, b.hi);
    AppendLe16(out, 2);
    Text(out, b.name, kPartName);
    Text(out, b.name, kPartName);
    PutPoint(out, {0, 0, 0});  // the pivot: the joint
    for (std::size_t i = 0; i < 8; ++i) PutPoint(out, i < b.points.size() ? b.points[i] : DemoPoint{0, 0, 0});
    AppendLe32(out, static_cast<std::uint32_t>(box.vertices.size()));
    AppendLe32(out, static_cast<std::uint32_t>(box.sides.size()));
    for (const DemoPoint& v : box.vertices) PutPoint(out, v);
    for (const auto& side : box.sides) {
      AppendLe32(out, kSideColour);
      for (float f : {0.0f, 0.0f, kTexels, 0.0f, kTexels, kTexels, 0.0f, kTexels}) AppendLeF32(out, f);
      for (std::uint16_t i : side) AppendLe16(out, i);
      AppendLe32(out, kTexturedSmooth);
      AppendLe16(out, b.texture);
    }
    for (std::size_t i = 0; i < box.vertices.size(); ++i) AppendLe32(out, 0);
    AppendLe32(out, 0);  // no seam faces: every part is a closed box
    PutPoint(out, b.direction);
    PutPoint(out, {0, 0, 0});
  }
  return out;
}

std::vector<std::uint8_t> SkeletonBuilder::Anb() const {
  if (skins_.empty()) throw std::logic_error("a skeleton's animations need a skin");
  CSkaList skins;
  CMdlList models;
  CMbrList parts;
  if (skins.ReadBytes(Ska()) != SkeletonFileError::kNone || models.ReadBytes(Mdl()) != SkeletonFileError::kNone ||
      parts.ReadBytes(Mbr()) != SkeletonFileError::kNone) {
    throw std::logic_error("the skeleton's own files do not read back");
  }
  CSkinnedModel model;
  model.Build(skins_.front(), &parts, &skins, &models);
  if (model.BoneCount() != static_cast<int>(bones_.size())) throw std::logic_error("the skeleton does not build");

  std::vector<std::uint8_t> out;
  AppendLe16(out, 1);
  AppendLe32(out, static_cast<std::uint32_t>(animations_.size()));
  for (const Animation& a : animations_) {
    AppendLe16(out, 1);
    Text(out, a.name, kName);
    Text(out, a.second, kName);
    Text(out, "", kName);
    for (std::int32_t v : {0, a.lastFrame, 0, a.rate}) AppendLe32(out, static_cast<std::uint32_t>(v));
    AppendLe32(out, static_cast<std::uint32_t>(bones_.size()));
    for (std::size_t i = 0; i < bones_.size(); ++i) AppendLe16(out, static_cast<std::uint16_t>(i));
    for (const Bone& b : bones_) Text(out, b.name, kName);
    AppendLe32(out, static_cast<std::uint32_t>(a.keys.size()));
    for (const Key& k : a.keys) {
      AppendLe32(out, static_cast<std::uint32_t>(k.frame));
      AppendLe16(out, 1);
      AppendLe32(out, static_cast<std::uint32_t>(bones_.size()));
      PutPoint(out, {0, k.height + kKeyRaise, 0});
      PutPoint(out, {0, 0, 0});
      for (const CBone& bone : model.bones) {
        CMatrix local;
        local.FromEuler(bone.angles);
        const auto swing = k.swings.find(bone.name);
        if (swing != k.swings.end() && bone.parent >= 0) {
          // Turn about the joint in model terms: into the parent's rest frame
          // and back around the swing.
          const CMatrix parentToModel = model.bones[static_cast<std::size_t>(bone.parent)].matrix.Inverse();
          CMatrix parentFrame = parentToModel;
          parentFrame.SetPosition({});
          CMatrix turn;
          turn.FromEuler({swing->second.x, swing->second.y, swing->second.z});
          local = MultiplyMatrices(MultiplyMatrices(MultiplyMatrices(parentFrame, turn.Inverse()), parentFrame.Inverse()),
                                   local);
        }
        Vector(out, local.ToEuler());
      }
    }
  }
  return out;
}
