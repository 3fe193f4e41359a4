// The four skeleton file readers, and a model built from what they accept,
// from arbitrary bytes. The first byte picks the reader whose bytes follow;
// every reader also takes the whole input.
#include <cstddef>
#include <cstdint>
#include <span>

#include "render/anim_bank.h"
#include "render/mbr_list.h"
#include "render/mdl_list.h"
#include "render/ska_list.h"
#include "render/skinned_model.h"

namespace {

void CheckParts(const CMbrList& parts) {
  for (int i = 0; i < parts.Count(); ++i) {
    const CMbrPart& p = parts.Part(i);
    for (const CFace& f : p.faces) {
      for (int k = 0; k < f.vertexCount; ++k) {
        if (f.index[k] >= p.vertices.size()) __builtin_trap();
      }
    }
    if (p.extraFaces.size() != p.extraRecords.size()) __builtin_trap();
  }
}

void CheckAnimations(const CAnimBank& bank, CSkinnedModel& model) {
  for (int i = 0; i < bank.Count(); ++i) {
    const CAnimation& a = bank.Animation(i);
    if (a.boneMap.size() > 64) __builtin_trap();
    for (std::size_t k = 1; k < a.keys.size(); ++k) {
      if (a.keys[k - 1].frame >= a.keys[k].frame || a.keys[k].frame > a.LastFrame()) __builtin_trap();
    }
    for (const float t : {0.0f, 37.5f, 1e9f, -80.0f}) {
      a.Sample(model, t, true);
      a.Sample(model, t, false);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CSkaList skins;
  static CMdlList models;
  static CMbrList parts;
  static CAnimBank animations;
  const std::span<const std::uint8_t> all(data, size);
  const std::span<const std::uint8_t> rest = size > 0 ? all.subspan(1) : all;
  const int which = size > 0 ? data[0] % 4 : 0;
  (void)skins.ReadBytes(which == 0 ? rest : all);
  (void)models.ReadBytes(which == 1 ? rest : all);
  (void)parts.ReadBytes(which == 2 ? rest : all);
  (void)animations.ReadBytes(which == 3 ? rest : all);
  CheckParts(parts);
  for (int i = 0; i < models.Count(); ++i) {
    if (models.Model(i).BoneCount() > 64) __builtin_trap();
  }
  CSkinnedModel model;
  for (int i = 0; i < skins.Count() && i < 4; ++i) {
    model.Build(skins.Record(i).name, &parts, &skins, &models);
    if (model.BoneCount() > 64) __builtin_trap();
    for (const CFace& f : model.mergedFaces) {
      for (int k = 0; k < f.vertexCount; ++k) {
        if (f.index[k] >= model.totalVertexCount) __builtin_trap();
      }
    }
    model.Update();
  }
  CheckAnimations(animations, model);
  return 0;
}
