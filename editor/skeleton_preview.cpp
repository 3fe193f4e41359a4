#include "editor/skeleton_preview.h"

#include <algorithm>
#include <cmath>

#include "datafiles/monster_class_table.h"
#include "editor/preview_clock.h"
#include "editor/preview_render.h"
#include "quest/fixed_field.h"
#include "quest/class_model.h"
#include "render/animation.h"
#include "render/camera.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"

namespace kelvar {
namespace {

constexpr float kCameraTurnPerMs = 0.001f * 0.3926991f;  // pi/8 a second
// The camera's height for its distance from the model.
constexpr float kCameraRise = 250.0f / 1300.0f;
// Poses at which a model's extent is taken, spread over the animation's loop.
constexpr int kFramingPoses = 8;

// The box the model fills over its animation (or as it stands without one),
// each pose sampled and turned as the preview draws it.
CBox3 AnimatedBounds(CSkinnedModel& model, const CAnimation* animation, float turn) {
  // In floats: the file gives the last frame, however large.
  const float loop = animation ? (static_cast<float>(animation->LastFrame()) + 1.0f) *
                                     static_cast<float>(animation->msPerFrame)
                               : 0.0f;
  CBox3 box;
  for (int i = 0; i < (animation ? kFramingPoses : 1); ++i) {
    if (animation) animation->Sample(model, loop * static_cast<float>(i) / kFramingPoses, true);
    model.orientation.y += turn;
    model.Update();
    const CBox3 posed = model.PosedBounds();
    if (posed.empty) continue;
    box.Add(posed.lowest);
    box.Add(posed.highest);
  }
  return box;
}

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
  const int animation = ChooseAnimation(c, *skeleton);
  const CAnimation* pose = animation >= 0 ? &skeleton->animations.Animation(animation) : nullptr;
  if (changed || justLoaded || !model) {
    model = std::make_unique<CSkinnedModel>();
    model->Build(skeletonName, &skeleton->parts, &skeleton->skins, &skeleton->models);
    // A sphere about the turning axis holds the model at every heading.
    const CBox3 box = AnimatedBounds(*model, pose, c.previewTurnStep);
    const float across = box.empty ? 0.0f
                                   : std::hypot(std::max(-box.lowest.x, box.highest.x),
                                                std::max(-box.lowest.z, box.highest.z));
    framedMiddle = box.empty ? 0.0f : (box.lowest.y + box.highest.y) * 0.5f;
    framedRadius = box.empty ? 0.0f : std::hypot(across, (box.highest.y - box.lowest.y) * 0.5f);
  }

  // Seen from a little above, as far away as fits the model.
  const float distance = FittingDistance(framedRadius, frame.Size());
  const float ground = distance / std::sqrt(1.0f + kCameraRise * kCameraRise);
  CCamera camera;
  camera.position =
      CVector3{ground * std::sin(angle), framedMiddle + ground * kCameraRise, ground * std::cos(angle)};
  camera.LookAt(0.0f, framedMiddle, 0.0f);

  if (pose) pose->Sample(*model, animationTime, true);
  model->orientation.y += c.previewTurnStep;
  model->position = CVector3{0.0f, 0.0f, 0.0f};
  model->Draw(camera);
  return frame.Finish();
}

}  // namespace kelvar
