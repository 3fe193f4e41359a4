#include "render/animation.h"

#include <algorithm>
#include <cmath>

#include "datafiles/byte_source.h"
#include "datafiles/common/debug_trace.h"
#include "render/matrix.h"
#include "render/skinned_model.h"

namespace {

constexpr int kMaxFrameRate = 1000;
// A key: its frame index, version, rotation count, position and root vector.
constexpr std::uint64_t kKeyHeadBytes = 4 + 2 + 4 + 24;
constexpr std::uint64_t kRotationBytes = 12;
constexpr float kKeyLowering = 256.0f;

CQuaternion QuaternionOfEuler(const CVector3& angles) {
  CMatrix m;
  m.FromEuler(angles);
  CQuaternion q;
  q.FromMatrix(m);
  return q;
}

CVector3 EulerOfSlerp(const CQuaternion& a, const CQuaternion& b, float s) {
  return CQuaternion::Slerp(a, b, s).ToMatrix().ToEuler();
}

bool ReadVector(ByteSource& in, CVector3& v) { return in.F32(v.x) && in.F32(v.y) && in.F32(v.z); }

// One key record after its frame index; false when the file ends inside it.
// A key of another version stays empty (and is not kept).
bool ReadKey(ByteSource& in, CAnimKey& key, bool& kept) {
  kept = false;
  std::uint16_t version = 0;
  if (!in.U16(version)) return false;
  if (version != 1) return true;
  std::uint32_t count = 0;
  if (!in.U32(count) || !ReadVector(in, key.position) || !ReadVector(in, key.root)) return false;
  if (count > in.Remaining() / kRotationBytes) return false;
  key.rotations.resize(count);
  for (CQuaternion& q : key.rotations) {
    CVector3 euler;
    if (!ReadVector(in, euler)) return false;
    q = QuaternionOfEuler(euler);
  }
  key.position.y -= kKeyLowering;
  kept = true;
  return true;
}

}  // namespace

bool CAnimation::IsUsable() const {
  return name[0] != '\0' && FrameRate() > 0 && FrameRate() <= kMaxFrameRate && LastFrame() >= 0;
}

const CAnimKey* CAnimation::KeyAt(int frame) const {
  const auto it = std::lower_bound(keys.begin(), keys.end(), frame,
                                   [](const CAnimKey& k, int f) { return k.frame < f; });
  return it != keys.end() && it->frame == frame ? &*it : nullptr;
}

SkeletonFileError CAnimation::Read(ByteSource& in) {
  std::uint16_t version = 0;
  if (!in.U16(version)) return SkeletonFileError::kTruncated;
  if (version < 1 || version > 3) return SkeletonFileError::kNone;  // stays empty
  if (!in.Fixed(name, sizeof name) || !in.Fixed(secondName, sizeof secondName) ||
      !in.Fixed(thirdName, sizeof thirdName)) {
    return SkeletonFileError::kTruncated;
  }
  for (std::int32_t& v : values) {
    if (!in.I32(v)) return SkeletonFileError::kTruncated;
  }
  std::uint32_t boneCount = 0;
  if (!in.U32(boneCount)) return SkeletonFileError::kTruncated;
  if (boneCount > static_cast<std::uint32_t>(kSkeletonMaxBones)) return SkeletonFileError::kTooMany;
  if (boneCount * (2 + kSkeletonNameSize) > in.Remaining()) return SkeletonFileError::kTruncated;
  boneMap.resize(boneCount);
  for (std::int16_t& g : boneMap) in.I16(g);
  boneNames.resize(boneCount);
  for (auto& n : boneNames) in.Fixed(n.data(), n.size());
  std::uint32_t keyCount = 0;
  if (!in.U32(keyCount)) return SkeletonFileError::kTruncated;
  if (keyCount > in.Remaining() / 6) return SkeletonFileError::kTruncated;  // frame index and version at least
  const std::int64_t last = LastFrame();
  for (std::uint32_t i = 0; i < keyCount; ++i) {
    std::uint32_t frame = 0;
    CAnimKey key;
    bool kept = false;
    if (!in.U32(frame) || !ReadKey(in, key, kept)) return SkeletonFileError::kTruncated;
    if (!kept) continue;
    if (static_cast<std::int64_t>(frame) > last) {
      DebugTrace("Animation %s: a key at frame %u after the last frame %d is dropped\n", name, frame, LastFrame());
      continue;
    }
    key.frame = static_cast<int>(frame);
    const auto at = std::lower_bound(keys.begin(), keys.end(), key.frame,
                                     [](const CAnimKey& k, int f) { return k.frame < f; });
    if (at != keys.end() && at->frame == key.frame) {
      *at = std::move(key);  // the later key of a frame wins
    } else {
      keys.insert(at, std::move(key));
    }
  }
  const int extra = version == 3 ? 4 : version == 2 ? 1 : 0;
  for (int i = 0; i < extra; ++i) {
    if (!in.I32(extraValues[i])) return SkeletonFileError::kTruncated;
  }
  Finish();
  return SkeletonFileError::kNone;
}

void CAnimation::Finish() {
  msPerFrame = FrameRate() > 0 ? 1000 / FrameRate() : 0;
  if (keys.empty()) return;
  const CVector3 first = keys.front().position;
  displacement = keys.back().position - first;
  displacementLength = displacement.Length();
  for (CAnimKey& k : keys) {
    k.position.x -= first.x;
    k.position.z -= first.z;
  }
}

int CAnimation::Nearest(std::int64_t f, bool forward, std::int64_t* steps) const {
  if (keys.empty()) return -1;
  const std::int64_t frames = std::int64_t(LastFrame()) + 1;
  std::size_t i;
  if (forward) {
    const auto it = std::lower_bound(keys.begin(), keys.end(), f,
                                     [](const CAnimKey& k, std::int64_t v) { return k.frame < v; });
    i = it == keys.end() ? 0 : static_cast<std::size_t>(it - keys.begin());
    *steps = (keys[i].frame - f + frames) % frames;
  } else {
    const auto it = std::upper_bound(keys.begin(), keys.end(), f,
                                     [](std::int64_t v, const CAnimKey& k) { return v < k.frame; });
    i = it == keys.begin() ? keys.size() - 1 : static_cast<std::size_t>(it - keys.begin()) - 1;
    *steps = (f - keys[i].frame + frames) % frames;
  }
  return static_cast<int>(i);
}

void CAnimation::Sample(CSkinnedModel& model, float t, bool loop) const {
  if (!IsUsable() || keys.empty() || !std::isfinite(t)) return;
  const double ms = msPerFrame;
  const double frames = double(LastFrame()) + 1.0;
  double whole = std::fmod(std::trunc(std::trunc(double(t)) / ms), frames);
  if (whole < 0) whole += frames;
  const auto f = static_cast<std::int64_t>(whole);
  std::int64_t sp = 0, sq = 0;
  const int p = Nearest(f, false, &sp);
  int q = Nearest(f, true, &sq);
  if (!loop && q < p) q = p;
  const float r = std::fmod(t, static_cast<float>(msPerFrame));
  if (p == q && std::fabs(r) > 0.00001f && LastFrame() >= f + 1) {
    q = Nearest(f + 1, true, &sq);
    sq += 1;
  }
  const CAnimKey& kp = keys[static_cast<std::size_t>(p)];
  const CAnimKey& kq = keys[static_cast<std::size_t>(q)];
  const int boneCount = std::min(model.BoneCount(), static_cast<int>(boneMap.size()));
  // A bone takes a key's rotation only when the map names one the key holds.
  const auto rotation = [&](const CAnimKey& key, int bone) -> const CQuaternion* {
    const int g = boneMap[static_cast<std::size_t>(bone)];
    if (g < 0 || g >= static_cast<int>(boneMap.size()) || g >= static_cast<int>(key.rotations.size())) return nullptr;
    return &key.rotations[static_cast<std::size_t>(g)];
  };
  if (p == q) {
    model.position = kp.position;
    model.orientation = kp.root;
    for (int i = 0; i < boneCount; ++i) {
      if (const CQuaternion* a = rotation(kp, i)) model.bones[static_cast<std::size_t>(i)].angles = EulerOfSlerp(*a, *a, 1.0f);
    }
    return;
  }
  const double span = ms * double(sp + sq);
  const float s = span > 0.0 ? static_cast<float>((r + ms * double(sp)) / span) : 0.0f;
  model.position = kq.position * s + kp.position * (1.0f - s);
  model.orientation = EulerOfSlerp(QuaternionOfEuler(kp.root), QuaternionOfEuler(kq.root), s);
  for (int i = 0; i < boneCount; ++i) {
    CBone& bone = model.bones[static_cast<std::size_t>(i)];
    if (bone.vertexCount <= 0) continue;
    const CQuaternion* a = rotation(kp, i);
    const CQuaternion* b = rotation(kq, i);
    if (a && b) bone.angles = EulerOfSlerp(*a, *b, s);
  }
}
