#include "render/skinned_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "datafiles/common/debug_trace.h"
#include "platform/core/paths.h"
#include "render/camera.h"
#include "render/engine_3d.h"
#include "render/mbr_list.h"
#include "render/mdl_list.h"
#include "render/render_vertex.h"
#include "render/ska_list.h"

namespace {

constexpr float kSameDirection = 0.00001f;
constexpr float kParallel = 0.99999f;
constexpr std::uint32_t kEnvFlags = 0x811;
constexpr std::uint16_t kEnvBank = 53;
constexpr std::uint32_t kShadowColour = 0x96000000u;
constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;
constexpr float kEnvScale = 0.49609375f;
// The engine takes texture coordinates in texels of a 256-texel texture.
constexpr float kTexels = 256.0f;

CVector3 Vec(const float* p) { return {p[0], p[1], p[2]}; }

// Parent indices from the parent names; false (traced) when a bone is its
// own parent or the parents close a loop. `order` lists parents first.
bool ResolveTree(const CMdlModel& model, std::vector<int>& parents, std::vector<int>& order) {
  const int n = model.BoneCount();
  parents.assign(static_cast<std::size_t>(n), -1);
  for (int i = 0; i < n; ++i) {
    const int p = model.FindBone(model.bones[static_cast<std::size_t>(i)].parentName);
    if (p == i) {
      DebugTrace("Skeleton model %s: bone %s is its own parent\n", model.name, model.bones[static_cast<std::size_t>(i)].name);
      return false;
    }
    parents[static_cast<std::size_t>(i)] = p;
  }
  std::vector<int> depth(static_cast<std::size_t>(n), -1);
  for (int i = 0; i < n; ++i) {
    int d = 0;
    for (int b = parents[static_cast<std::size_t>(i)]; b >= 0; b = parents[static_cast<std::size_t>(b)]) {
      if (++d > n) {
        DebugTrace("Skeleton model %s: the parents of bone %s close a loop\n", model.name,
                   model.bones[static_cast<std::size_t>(i)].name);
        return false;
      }
    }
    depth[static_cast<std::size_t>(i)] = d;
  }
  order.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return depth[static_cast<std::size_t>(a)] < depth[static_cast<std::size_t>(b)]; });
  return true;
}

// The rest frame of a bone with a part: the part's direction, turned about
// it so that the joint's attach point keeps its side.
CMatrix RestFrame(const CMbrPart& part, const CMbrPart* parentPart, int attachPoint) {
  CVector3 d = Vec(part.values) - Vec(part.pivot);
  const bool fromPart =
      std::fabs(d.x) > kSameDirection || std::fabs(d.y) > kSameDirection || std::fabs(d.z) > kSameDirection;
  if (!fromPart) d = {0.0f, 0.0f, 1.0f};
  CMatrix r;
  if (parentPart && attachPoint >= 0 && fromPart) {
    d.Normalize();
    CVector3 a = Vec(parentPart->points[attachPoint]) - Vec(parentPart->pivot);
    if (a.Normalize() && std::fabs(a.Dot(d)) <= kParallel) {
      CVector3 s = CrossProduct(a, d);
      if (s.Normalize()) {
        r.FromAxes(CrossProduct(s, d), s, d);
        return r;
      }
    }
  }
  r.LookAt({}, d);
  return r;
}

using SeamKey = std::tuple<int, int, int, int, int, int>;  // identifier, corner count, four values

SeamKey KeyOf(const CFace& f, const std::array<std::int16_t, 5>& rec) {
  return {rec[0], f.vertexCount, rec[1], rec[2], rec[3], rec[4]};
}

bool Foreign(std::uint16_t corner) { return static_cast<std::int16_t>(corner) < 0; }

}  // namespace

void CSkinnedModel::Free() {
  bones.clear();
  mergedFaces.clear();
  mergedShadowFaces.clear();
  mergedLitFaces.clear();
  envSeamFaces.clear();
  mergedNormals.clear();
  mergedBones_.clear();
  envSeamBones_.clear();
  order_.clear();
  totalVertexCount = 0;
  built = 0;
}

int CSkinnedModel::FindBone(std::string_view name) const {
  for (const CBone& b : bones) {
    if (platform::EqualsNoCase(b.name, name)) return b.index;
  }
  return -1;
}

void CSkinnedModel::Build(std::string_view skinName, const CMbrList* parts, const CSkaList* skins,
                          const CMdlList* models) {
  position = {};
  orientation = {};
  Free();
  if (!parts || !skins || !models) return;
  const CSkinRecord* skin = skins->Find(skinName);
  if (!skin) return;
  const CMdlModel* model = models->Find(skin->modelName);
  if (!model) return;
  std::vector<int> parents;
  if (!ResolveTree(*model, parents, order_)) {
    order_.clear();
    return;
  }
  const int n = model->BoneCount();
  bones.resize(static_cast<std::size_t>(n));
  std::vector<const CMbrPart*> partOf(static_cast<std::size_t>(n), nullptr);
  for (int i = 0; i < n; ++i) partOf[static_cast<std::size_t>(i)] = parts->Find(skin->PartName(i));

  for (int i = 0; i < n; ++i) {
    CBone& bone = bones[static_cast<std::size_t>(i)];
    bone.index = i;
    CopyName(bone.name, sizeof bone.name, model->bones[static_cast<std::size_t>(i)].name);
    const int p = parents[static_cast<std::size_t>(i)];
    const CMbrPart* part = partOf[static_cast<std::size_t>(i)];
    CBone* parent = p >= 0 ? &bones[static_cast<std::size_t>(p)] : nullptr;
    if (parent) parent->index = p;  // may not be visited yet
    bone.parent = p;
    if (part) {
      const CMbrPart* parentPart = p >= 0 ? partOf[static_cast<std::size_t>(p)] : nullptr;
      if (parent && parentPart) {
        const int k = parent->childCount;
        if (k >= kBoneAttachPoints) {
          DebugTrace("Skeleton model %s: bone %s has more than eight parts attached\n", model->name, parent->name);
          Free();
          return;
        }
        bone.AttachToParent(*parent);
        bone.attachPoint = k;
        bone.pivot = Vec(parentPart->points[k]) - Vec(parentPart->pivot);
      }
      bone.hasPart = true;
      bone.faces = part->faces;
      bone.reversedFaces = part->faces;
      for (CFace& f : bone.reversedFaces) f.Reverse();
      bone.vertices = part->vertices;
      bone.seamFaces = part->extraFaces;
      for (int e = 0; e < part->ExtraCount(); ++e) bone.seamRecords.push_back(part->ExtraRecord(e));
      bone.faceCount = part->FaceCount();
      bone.vertexCount = part->VertexCount();
    }
    if (parent) ++parent->childCount;
  }

  for (const int i : order_) {
    CBone& bone = bones[static_cast<std::size_t>(i)];
    const CMbrPart* part = partOf[static_cast<std::size_t>(i)];
    if (!part) continue;
    const CBone* parent = bone.parent >= 0 ? &bones[static_cast<std::size_t>(bone.parent)] : nullptr;
    const CMbrPart* parentPart = parent ? partOf[static_cast<std::size_t>(bone.parent)] : nullptr;
    const CMatrix rest = RestFrame(*part, parentPart, bone.attachPoint);
    const CMatrix restInverse = rest.Inverse();
    if (parent) {
      bone.angles = MultiplyMatrices(parent->matrix.Inverse(), restInverse).ToEuler();
    } else {
      bone.angles = restInverse.ToEuler();
    }
    for (CMeshVertex& v : bone.vertices) {
      const CVector3 p = restInverse.TransformPoint({v.x, v.y, v.z});
      v.x = p.x;
      v.y = p.y;
      v.z = p.z;
    }
    if (parent) bone.pivot = parent->matrix.RotateVector(bone.pivot);
    Update();
  }

  const bool anyPart = std::any_of(bones.begin(), bones.end(), [](const CBone& b) { return b.hasPart; });
  if (anyPart) {
    Merge();
  } else {
    Free();
  }
  built = 1;
}

void CSkinnedModel::Update() {
  CMatrix o;
  o.FromEuler(orientation);
  const CMatrix oInverse = o.Inverse();
  for (const int i : order_) {
    CBone& bone = bones[static_cast<std::size_t>(i)];
    CMatrix p;
    if (bone.parent < 0) {
      p.FromEuler(bone.angles);
      p.SetPosition(p.RotateVector(-bone.pivot) + bone.pivot);
      bone.matrix = MultiplyMatrices(oInverse, p);
      bone.depth = 0;
      continue;
    }
    CMatrix pose, second;
    pose.FromEuler(bone.angles);
    second.FromEuler(bone.secondAngles);
    p = MultiplyMatrices(pose, second);
    p.SetPosition(p.RotateVector(-bone.pivot));
    const CBone& parent = bones[static_cast<std::size_t>(bone.parent)];
    bone.depth = parent.depth + 1;
    // World to parent first, then parent to bone: the joint's rotation and
    // pivot are in the parent's frame, as Build measured them.
    bone.matrix = MultiplyMatrices(parent.matrix, p);
  }
}

CBox3 CSkinnedModel::PosedBounds() const {
  CBox3 box;
  for (const CBone& bone : bones) {
    if (bone.vertices.empty() || !bone.visible) continue;
    const CMatrix toModel = bone.matrix.Inverse();
    for (const CMeshVertex& v : bone.vertices) box.Add(toModel.TransformPoint({v.x, v.y, v.z}));
  }
  return box;
}

void CSkinnedModel::Merge() {
  int total = 0;
  for (CBone& b : bones) {
    b.firstVertex = total;
    total += b.vertexCount;
    if (b.vertexCount > 0) b.Prepare();
  }
  totalVertexCount = total;
  mergedNormals.assign(static_cast<std::size_t>(total) * 3, 0.0f);
  mergedFaces.clear();
  mergedBones_.clear();

  // Every seam face by its record, in bone order, to find where a corner
  // owned by another bone lies.
  std::map<SeamKey, std::vector<std::pair<int, int>>> byRecord;
  for (const CBone& b : bones) {
    for (std::size_t j = 0; j < b.seamFaces.size() && j < b.seamRecords.size(); ++j) {
      byRecord[KeyOf(b.seamFaces[j], b.seamRecords[j])].emplace_back(b.index, static_cast<int>(j));
    }
  }
  std::set<std::int64_t> taken;
  for (const CBone& b : bones) {
    for (std::size_t j = 0; j < b.seamFaces.size() && j < b.seamRecords.size(); ++j) {
      const CFace& seam = b.seamFaces[j];
      const std::array<std::int16_t, 5>& rec = b.seamRecords[j];
      std::int64_t key = std::int64_t(rec[0]) * 10000;
      for (int k = 0; k < seam.vertexCount; ++k) key += rec[static_cast<std::size_t>(k) + 1];
      if (!taken.insert(key).second) continue;
      CFace merged = seam;
      std::uint64_t touched = 0;
      bool resolved = true;
      for (int k = 0; k < seam.vertexCount && resolved; ++k) {
        int owner = -1, corner = -1;
        if (!Foreign(seam.index[k])) {
          owner = b.index;
          corner = seam.index[k];
        } else {
          for (const auto& [other, face] : byRecord[KeyOf(seam, rec)]) {
            if (other == b.index) continue;
            const std::uint16_t c = bones[static_cast<std::size_t>(other)].seamFaces[static_cast<std::size_t>(face)].index[k];
            if (Foreign(c)) continue;
            owner = other;
            corner = c;
            break;
          }
        }
        const int modelIndex = owner < 0 ? -1 : bones[static_cast<std::size_t>(owner)].firstVertex + corner;
        if (modelIndex < 0 || modelIndex >= total || modelIndex >= kNoVertex) {
          resolved = false;
          break;
        }
        merged.index[k] = static_cast<std::uint16_t>(modelIndex);
        touched |= std::uint64_t(1) << owner;
      }
      if (!resolved) continue;
      mergedFaces.push_back(merged);
      mergedBones_.push_back(touched);
    }
  }

  envSeamFaces.clear();
  envSeamBones_.clear();
  mergedShadowFaces.clear();
  mergedLitFaces.clear();
  for (std::size_t i = 0; i < mergedFaces.size(); ++i) {
    const CFace& f = mergedFaces[i];
    if (f.flags & kFaceEnvMapped) {
      CFace env = f;
      env.flags = kEnvFlags;
      env.depth = kEnvBank;
      envSeamFaces.push_back(env);
      envSeamBones_.push_back(mergedBones_[i]);
    }
    CFace shadow = f;
    shadow.flags = 0;
    shadow.color = kShadowColour;
    mergedShadowFaces.push_back(shadow);
    CFace lit = f;
    lit.flags = kEnvFlags;
    lit.color = kAllBits;
    lit.depth = kEnvBank;
    mergedLitFaces.push_back(lit);
  }
}

void CSkinnedModel::DrawEnvMapped(int boneIndex, const CCamera& camera, CVertex* transformed) {
  if (boneIndex < 0 || boneIndex >= BoneCount() || !transformed || !g_3DEngine) return;
  CBone& bone = bones[static_cast<std::size_t>(boneIndex)];
  if (bone.vertices.empty() || bone.faces.empty() || bone.vertexNormals.empty() || bone.envFaceCount <= 0) return;
  CMatrix s = MultiplyMatrices(bone.matrix.Inverse(), camera.view.Inverse());
  s.SetPosition({});
  for (CFace& f : bone.envFaces) {
    for (int k = 0; k < 3; ++k) {
      const std::size_t v = f.index[k];
      const CVector3 n = s.RotateVector(Vec(&bone.vertexNormals[v * 3]));
      f.uv[k] = {(0.5f + kEnvScale * n.x) * kTexels, (0.5f - kEnvScale * n.y) * kTexels};
    }
  }
  g_3DEngine->AddFaces(transformed, bone.envFaces.data(), bone.envFaceCount, bone.vertexCount);
}

void CSkinnedModel::Draw(const CCamera& camera) {
  if (bones.empty() || !g_3DEngine) return;
  Update();
  const CVector3 r = position - camera.position;
  CVertex* first = nullptr;
  // Bones whose vertices lie where the seam faces' model-wide indices expect
  // them: transformed this frame, one after another from the first.
  std::uint64_t inPlace = 0;
  for (CBone& bone : bones) {
    if (bone.vertices.empty() || !bone.visible) continue;
    CMatrix m = bone.matrix.Inverse();
    m.SetPosition(m.GetPosition() + r);
    m = MultiplyMatrices(m, camera.view);
    CVertex* v = g_3DEngine->TransformVertices(&m, bone.vertices.data(), bone.vertexCount, bone.index);
    if (!v) continue;
    if (!first && bone.firstVertex == 0) first = v;
    if (first && v - first == bone.firstVertex) inPlace |= std::uint64_t(1) << bone.index;
    CVector3 light = bone.matrix.TransformPoint(kSkinLight);
    light.Normalize();
    bone.Light(v, light.x, light.y, light.z, kSkinLightIntensity);
    if (!bone.faces.empty()) {
      g_3DEngine->AddFaces(v, bone.faces.data(), bone.faceCount, bone.vertexCount);
      DrawEnvMapped(bone.index, camera, v);
    }
  }
  if (!first) return;
  for (std::size_t i = 0; i < mergedFaces.size(); ++i) {
    if ((mergedBones_[i] & inPlace) == mergedBones_[i]) {
      g_3DEngine->AddFaces(first, &mergedFaces[i], 1, totalVertexCount);
    }
  }
}
