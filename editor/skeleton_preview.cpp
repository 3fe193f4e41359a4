#include "editor/skeleton_preview.h"

#include <cmath>

#include "datafiles/monster_class_table.h"
#include "editor/preview_clock.h"
#include "editor/preview_render.h"
#include "quest/fixed_field.h"
#include "quest/class_model.h"
#include "render/camera.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"

namespace kelvar {
namespace {

constexpr float kCameraTurnPerMs = 0.001f * 0.3926991f;  // pi/8 a second

}  // namespace

CSkeletonPreview::CSkeletonPreview() = default;
CSkeletonPreview::~CSkeletonPreview() = default;

int CSkeletonPreview::ChooseAnimation(const CMonsterClass& c, const CSkeleton& skeleton) {
  const std::string own(FieldText(c.skeleton));
  const CAnimBank& bank = skeleton.animations;
  if (c.type == 1 || c.type == 2) {
    const bool flying = (static_cast<unsigned>(c.flags) & 0x20u) != 0;
    const int first = bank.Find(flying ? "fstatic" : "static", own.c_str());
    return first >= 0 ? first : bank.Find(flying ? "fAAAbase" : "AAAbase", own.c_str());
  }
  return bank.Find("static", own.c_str());
}

QImage CSkeletonPreview::Paint(int classIndex, QSize size) {
  PreviewFrame frame(size, kPreviewGrey);
  if (!frame.Usable()) return {};
  const std::uint32_t elapsed = PreviewClock::Step();
  angle += static_cast<float>(elapsed) * kCameraTurnPerMs;
  animationTime += static_cast<float>(elapsed);
  if (classIndex < 0 || static_cast<std::size_t>(classIndex) >= g_monsterClassTable.Count()) return frame.Finish();
  const CMonsterClass& c = g_monsterClassTable.Row(static_cast<std::size_t>(classIndex));

  const bool changed = classIndex != lastClass;
  if (changed) {
    skeletonName = ClassSkeletonName(c);
    lastClass = classIndex;
  }
  const int index = g_skeletonBank.FindName(skeletonName);
  bool justLoaded = false;
  CSkeleton* skeleton = index < 0 ? nullptr : g_skeletonBank.GetSkeleton(index, &justLoaded);
  if (!skeleton) {
    model.reset();
    return frame.Finish();
  }
  if (changed || justLoaded || !model) {
    model = std::make_unique<CSkinnedModel>();
    model->Build(skeletonName, &skeleton->parts, &skeleton->skins, &skeleton->models);
  }

  CCamera camera;
  camera.position = CVector3{1300.0f * std::sin(angle), 250.0f, 1300.0f * std::cos(angle)};
  camera.LookAt(0.0f, 0.0f, 0.0f);

  const int animation = ChooseAnimation(c, *skeleton);
  if (animation >= 0) skeleton->animations.Animation(animation).Sample(*model, animationTime, true);
  model->orientation.y += c.previewTurnStep;
  model->position = CVector3{0.0f, 0.0f, 0.0f};
  model->Draw(camera);
  return frame.Finish();
}

}  // namespace kelvar
