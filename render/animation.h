#pragma once
// One animation of an animation bank (".anb"): keys at some frames, each
// holding the model's position, its root angles and one rotation a bone,
// sampled at a time onto a skinned model.
#include <array>
#include <cstdint>
#include <vector>

#include "render/quaternion.h"
#include "render/skeleton_file.h"
#include "render/vector3.h"

class ByteSource;
class CSkinnedModel;

struct CAnimKey {
  int frame = 0;
  CVector3 position;  // y lowered by 256 as read; x and z relative to the first key
  CVector3 root;      // Euler angles
  std::vector<CQuaternion> rotations;
};

class CAnimation {
 public:
  char name[kSkeletonNameSize] = {};
  char secondName[kSkeletonNameSize] = {};  // qualifier
  char thirdName[kSkeletonNameSize] = {};
  std::int32_t values[4] = {};  // values[1]: last frame; values[3]: frames per second
  std::int32_t extraValues[4] = {-1, -1, -1, -1};
  // For model bone i, the index of its rotation in a key.
  std::vector<std::int16_t> boneMap;
  std::vector<std::array<char, kSkeletonNameSize>> boneNames;
  // Present keys only, by frame; at most one a frame.
  std::vector<CAnimKey> keys;
  int msPerFrame = 0;
  CVector3 displacement;  // last key position - first key position
  float displacementLength = 0.0f;

  int LastFrame() const { return values[1]; }
  int FrameRate() const { return values[3]; }
  // Sampling needs a name, a frame rate of 1 to 1000 and a last frame of 0 or more.
  bool IsUsable() const;
  // The key at a frame, or null when that frame has none.
  const CAnimKey* KeyAt(int frame) const;

  // One animation record: its version and what follows. A record of a
  // version other than 1 to 3 leaves the animation empty.
  SkeletonFileError Read(ByteSource& in);

  // Poses a model at t milliseconds (see the source for the interpolation);
  // nothing for an animation that is not usable or has no keys.
  void Sample(CSkinnedModel& model, float t, bool loop) const;

 private:
  void Finish();
  // The present key nearest frame f stepping backwards (forward when
  // `forward`), wrapping over 0..last; its index and the steps taken, or -1.
  int Nearest(std::int64_t f, bool forward, std::int64_t* steps) const;
};
