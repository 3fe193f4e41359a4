#pragma once
// The animated preview of a monster class: its skeleton's model posed by
// its standing animation, turning slowly under a camera that circles it,
// framed so that the whole model fills the preview.
// The monsters list and the monster dialog each hold one.
#include <memory>
#include <string>

#include <QImage>
#include <QSize>

class CSkinnedModel;
struct CMonsterClass;
struct CSkeleton;

namespace kelvar {

class CSkeletonPreview {
 public:
  CSkeletonPreview();
  ~CSkeletonPreview();
  CSkeletonPreview(const CSkeletonPreview&) = delete;
  CSkeletonPreview& operator=(const CSkeletonPreview&) = delete;

  // Advances by the shared preview clock and draws the class's model into
  // an image of the control's size; a null image without a preview device.
  // A class index outside the table draws the background only.
  QImage Paint(int classIndex, QSize size);

  // The animation a class is posed with in its skeleton's bank; -1 when none.
  static int ChooseAnimation(const CMonsterClass& monsterClass, const CSkeleton& skeleton);

  int lastClass = -1;         // the class shown last
  // The sphere the model fills over its animation, centred on the axis it
  // turns about: the camera looks at its middle from as far as fits it.
  float framedMiddle = 0.0f;
  float framedRadius = 0.0f;
  float angle = 0.0f;         // of the camera about the vertical axis
  float animationTime = 0.0f; // ms
  std::string skeletonName;
  std::unique_ptr<CSkinnedModel> model;
};

}  // namespace kelvar
