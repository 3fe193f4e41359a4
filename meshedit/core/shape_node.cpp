#include "meshedit/core/shape_node.h"

#include <algorithm>
#include <cstring>

#include "meshedit/core/shape.h"

namespace pavix {

namespace {

void CopyName(std::array<char, 32>& dst, std::string_view src) {
  dst.fill(0);
  std::memcpy(dst.data(), src.data(), std::min(src.size(), dst.size() - 1));
}

std::string_view NameOf(const std::array<char, 32>& a) {
  const auto* end = std::find(a.begin(), a.end(), '\0');
  return {a.data(), static_cast<std::size_t>(end - a.begin())};
}

}  // namespace

CShapeNode::CShapeNode() {
  nodeMatrix = IdentityMatrix();
  finalMatrix = IdentityMatrix();
  for (CMatrix& m : classMatrix) m = IdentityMatrix();
  for (CMatrix& m : projection) m = IdentityMatrix();
  SetDefaults();
}

CShapeNode::~CShapeNode() = default;
CShapeNode::CShapeNode(CShapeNode&&) noexcept = default;
CShapeNode& CShapeNode::operator=(CShapeNode&&) noexcept = default;

CShapeNode::CShapeNode(const CShapeNode& other)
    : words{}, spare{}, rotation(other.rotation), spareWord(other.spareWord), scale(other.scale),
      offset(other.offset), nodeMatrix(other.nodeMatrix), finalMatrix(other.finalMatrix),
      child(other.child ? std::make_unique<CShape>(*other.child) : nullptr), level(other.level),
      vertexCount(other.vertexCount), pivot(other.pivot), end(other.end), name(other.name),
      altName(other.altName), flags(other.flags), value15(other.value15), value981(other.value981),
      length(other.length), valueMinus1(other.valueMinus1), parent(other.parent),
      lockedCount(other.lockedCount) {
  std::copy(std::begin(other.words), std::end(other.words), std::begin(words));
  std::copy(std::begin(other.spare), std::end(other.spare), std::begin(spare));
  std::copy(std::begin(other.classMatrix), std::end(other.classMatrix), std::begin(classMatrix));
  std::copy(std::begin(other.projection), std::end(other.projection), std::begin(projection));
}

CShapeNode& CShapeNode::operator=(const CShapeNode& other) {
  if (this != &other) {
    CShapeNode copy(other);
    *this = std::move(copy);
  }
  return *this;
}

void CShapeNode::SetDefaults() {
  std::fill(std::begin(words), std::end(words), 0u);
  rotation = {0, 0, 0, 0.5f};
  scale = {1, 1, 1};
  offset = {0, 0, 0};
  child.reset();
  CopyName(name, "NODE");
  CopyName(altName, "ALTNODE");
  flags = 0;
  value15 = 15.0f;
  value981 = 9.81f;
  valueMinus1 = -1;
  UpdateLength();
}

void CShapeNode::Init(int lvl, int count, const CVector& p, const CVector& e) {
  level = lvl;
  vertexCount = count;
  pivot = p;
  end = e;
  SetDefaults();
}

void CShapeNode::SetScale(const CVector& s) {
  scale = s;
  if (s.x != 1.0f || s.y != 1.0f || s.z != 1.0f) flags |= kNodeScaled;
  else flags &= ~kNodeScaled;
}

void CShapeNode::SetPivot(const CVector& p) {
  pivot = p;
  UpdateLength();
}

void CShapeNode::SetEnd(const CVector& p) {
  end = p;
  UpdateLength();
}

void CShapeNode::UpdateLength() { length = Length(end - pivot); }

std::string_view CShapeNode::Name() const { return NameOf(name); }
std::string_view CShapeNode::AltName() const { return NameOf(altName); }
void CShapeNode::SetName(std::string_view n) { CopyName(name, n); }
void CShapeNode::SetAltName(std::string_view n) { CopyName(altName, n); }

void CShapeNode::BlendMatrices(const CShapeNode* parentNode, float a, float b, float c) {
  if (!parentNode) return;
  static constexpr std::uint32_t kClassFlags[3] = {kNodeClass1, kNodeClass2, kNodeClass3};
  static constexpr float kOwnWeight[3] = {0.75f, 0.5f, 0.25f};
  for (int k = 0; k < 3; ++k) {
    if (!(flags & kClassFlags[k])) continue;
    const float wa = kOwnWeight[k], wb = 1.0f - kOwnWeight[k];
    CMatrix& m = classMatrix[k];
    for (int i = 0; i < 9; ++i) m.m[i] = finalMatrix.m[i] * wa + parentNode->finalMatrix.m[i] * wb;
    for (int i = 0; i < 3; ++i) m.t[i] = finalMatrix.t[i] * wa + parentNode->finalMatrix.t[i] * wb;
    projection[k + 1] = m;
    ScaleOutputAxes(projection[k + 1], a, b, c, true);
  }
}

void LinkShapeNodes(std::vector<CShapeNode>& nodes) {
  if (nodes.empty()) return;
  nodes[0].parent = -1;
  nodes[0].level = 1;
  for (std::size_t j = 1; j < nodes.size(); ++j) {
    const int wanted = nodes[j].level;
    nodes[j].parent = -1;
    nodes[j].level = 1;
    for (std::size_t i = j; i-- > 0;) {
      if (nodes[i].level < wanted) {
        nodes[j].parent = static_cast<int>(i);
        nodes[j].level = nodes[i].level + 1;
        break;
      }
    }
  }
}

namespace {

CMatrix LocalMatrix(const CShapeNode& node) {
  CMatrix r;
  QuaternionToMatrix(node.rotation, {0, 0, 0}, r);
  const CVector moveTo = node.pivot + node.offset;
  if (!(node.flags & kNodeScaled)) {
    CMatrix local;
    QuaternionToMatrix(node.rotation, node.pivot * -1.0f, moveTo, local);
    return local;
  }
  CMatrix s = IdentityMatrix();
  s.m[0] = node.scale.x;
  s.m[4] = node.scale.y;
  s.m[8] = node.scale.z;
  s.t[0] = -node.pivot.x * node.scale.x;
  s.t[1] = -node.pivot.y * node.scale.y;
  s.t[2] = -node.pivot.z * node.scale.z;
  return Multiply(Multiply(s, r), TranslationMatrix(moveTo));
}

void UpdateNodes(CShape& shape, int depth) {
  // Child meshes are made in memory, never read from files; the bound only
  // keeps a cycle from running away.
  if (depth > 64) return;
  for (std::size_t i = 0; i < shape.nodes.size(); ++i) {
    CShapeNode& node = shape.nodes[i];
    const CMatrix local = LocalMatrix(node);
    const int p = node.parent;
    if (p >= 0 && static_cast<std::size_t>(p) < i) node.nodeMatrix = Multiply(local, shape.nodes[p].nodeMatrix);
    else node.nodeMatrix = local;
    if (node.child) UpdateNodes(*node.child, depth + 1);
  }
}

}  // namespace

void UpdateShapeNodes(CShape& shape) { UpdateNodes(shape, 0); }

}  // namespace pavix
