#include "quest/class_model.h"

#include <algorithm>
#include <cstdio>

#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"

namespace {

constexpr int kClassFlagFemale = 0x20;

}  // namespace

bool SkeletonFileExists(std::string_view name) {
  char path[256];
  std::snprintf(path, sizeof path, "data\\skeletons\\%.*s\\%.*s.ska", static_cast<int>(name.size()), name.data(),
                static_cast<int>(name.size()), name.data());
  MtfFilePtr file(MtfOpen(path, "rb"));
  return file != nullptr;
}

std::string ClassSkeletonName(const CMonsterClass& monsterClass) {
  const std::string name(FieldText(monsterClass.skeleton));
  if (name.empty() || platform::EqualsNoCase(name, "moine") || !SkeletonFileExists(name)) return "MULTIPNJ";
  return name;
}

PosedModel BuildPosedModel(std::string_view skeleton, const CMonsterClass* monsterClass, float time,
                           bool* justLoaded) {
  PosedModel out;
  const std::string name(skeleton);
  const int index = g_skeletonBank.FindName(name);
  CSkeleton* s = index < 0 ? nullptr : g_skeletonBank.GetSkeleton(index, justLoaded);
  if (!s) return out;
  auto model = std::make_shared<CSkinnedModel>();
  model->Build(name, &s->parts, &s->skins, &s->models);
  // Humanoid classes share their poses: a flagged one takes the "f" set,
  // and both fall back to the common base skeleton's animations.
  const bool humanoid = monsterClass && (monsterClass->kind == 1 || monsterClass->kind == 2);
  const bool flagged = humanoid && (monsterClass->flags & kClassFlagFemale) != 0;
  const char* pose = flagged ? "fstatic" : "static";
  int found = s->animations.Find(pose, name.c_str());
  if (found < 0 && humanoid) found = s->animations.Find(pose, flagged ? "fAAAbase" : "AAAbase");
  if (found >= 0) s->animations.Animation(found).Sample(*model, time, true);
  // The model hangs from its hips: the lift puts its feet on the ground.
  model->Update();
  const CBox3 posed = model->PosedBounds();
  out.footLift = posed.empty ? 0.0f : -std::min(0.0f, posed.lowest.y);
  out.model = std::move(model);
  return out;
}
