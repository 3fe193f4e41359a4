#include "meshedit/core/shape_stream.h"

#include <bit>
#include <cstring>

#include "datafiles/common/little_endian.h"
#include "meshedit/core/mtf_file.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/shape.h"
#include "platform/core/services.h"

namespace pavix {

namespace {

// Smallest stored size of one list element, so that no count can ask for
// more elements than the stream still holds.
constexpr std::size_t kMinSide = 67;
constexpr std::size_t kMinVtx = 30;
constexpr std::size_t kMinSnode = 82;
constexpr std::size_t kMinSideEdge = 18;
constexpr std::size_t kMinEdge = 10;
constexpr std::size_t kMinUv = 10;

bool U8(MtfFile* f, std::uint8_t& v) { return MtfRead(&v, 1, 1, f) == 1; }

bool U16(MtfFile* f, std::uint16_t& v) {
  std::uint8_t b[2];
  if (MtfRead(b, 2, 1, f) != 1) return false;
  v = LoadLe16(b);
  return true;
}

bool U32(MtfFile* f, std::uint32_t& v) {
  std::uint8_t b[4];
  if (MtfRead(b, 4, 1, f) != 1) return false;
  v = LoadLe32(b);
  return true;
}

bool I32(MtfFile* f, std::int32_t& v) {
  std::uint32_t u;
  if (!U32(f, u)) return false;
  v = static_cast<std::int32_t>(u);
  return true;
}

bool F32(MtfFile* f, float& v) {
  std::uint32_t u;
  if (!U32(f, u)) return false;
  v = std::bit_cast<float>(u);
  return true;
}

bool Name32(MtfFile* f, std::array<char, 32>& name) {
  char raw[32];
  if (MtfRead(raw, 32, 1, f) != 1) return false;
  std::memcpy(name.data(), raw, 32);
  return true;
}

bool CountFits(MtfFile* f, std::uint32_t count, std::size_t minSize) {
  return count <= f->Remaining() / minSize;
}

// A record's version word, 1 to `newest`; any other ends the program with
// the record's own message.
bool ReadVersion(MtfFile* f, std::uint16_t& version, std::uint16_t newest, std::string_view unknown) {
  if (!U16(f, version)) return false;
  if (version < 1 || version > newest) FatalUnknownVersion(unknown);
  return true;
}

}  // namespace

void FatalUnknownVersion(std::string_view text) {
  platform::MessageBox(text, "ERROR", platform::kMbOk | platform::kMbIconWarning);
  platform::Exit(0);
}

bool ReadV3d(CVector& v, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 1, "V3D : UNKNOWN VERSION")) return false;
  return F32(file, v.x) && F32(file, v.y) && F32(file, v.z);
}

bool ReadUv(CUv& uv, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 1, "UV : UNKNOWN VERSION")) return false;
  return F32(file, uv.u) && F32(file, uv.v);
}

bool ReadQuat(CQuaternion& q, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 1, "QUAT : UNKNOWN VERSION")) return false;
  return F32(file, q.x) && F32(file, q.y) && F32(file, q.z) && F32(file, q.w);
}

bool ReadRgb(std::uint8_t rgba[4], MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 1, "RGB : UNKNOWN VERSION")) return false;
  return MtfRead(rgba, 4, 1, file) == 1;
}

bool ReadVtx(CShapeVertex& v, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 5, "VTX : UNKNOWN VERSION")) return false;
  v.flags = 0;
  if (!ReadV3d(v.position, file) || !ReadV3d(v.normal, file)) return false;
  std::uint8_t rgb[4];
  std::uint32_t dropped;
  switch (version) {
    case 1: return ReadRgb(rgb, file);
    case 2: return true;
    case 3: return U32(file, dropped);
    case 4: return U32(file, dropped) && U8(file, v.flags);
    default: return U8(file, v.flags);
  }
}

bool ReadVertexList(CShape& shape, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 3, "LVTX : UNKNOWN VERSION")) return false;
  std::uint32_t count;
  if (!U32(file, count)) return false;
  if (version == 2) {
    CVector dropped;
    if (!ReadV3d(dropped, file)) return false;
  }
  if (!CountFits(file, count, kMinVtx)) return false;
  shape.SetVertexCount(static_cast<int>(count));
  for (CShapeVertex& v : shape.vertices)
    if (!ReadVtx(v, file)) return false;
  return true;
}

bool ReadSide(CSide& side, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 6, "SIDE : UNKNOWN VERSION")) return false;
  side.Clear();
  if (!U32(file, side.flags)) return false;
  for (std::uint32_t& i : side.index)
    if (!U32(file, i)) return false;
  if (version <= 4) {
    std::uint8_t rgb[4];
    if (!ReadRgb(rgb, file)) return false;
  }
  for (CUv& uv : side.uv)
    if (!ReadUv(uv, file)) return false;
  if (!U32(file, side.texture)) return false;
  std::uint8_t dropped;
  switch (version) {
    case 1: return true;
    case 2:
    case 3: return U8(file, side.group);
    case 4:
    case 5: return U8(file, side.group) && U8(file, dropped);
    default: return U8(file, side.group);
  }
}

bool ReadSideList(CShape& shape, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 1, "LSIDE : UNKNOWN VERSION")) return false;
  std::uint32_t count;
  if (!U32(file, count) || !CountFits(file, count, kMinSide)) return false;
  shape.SetSideCount(static_cast<int>(count));
  for (CSide& s : shape.sides)
    if (!ReadSide(s, file)) return false;
  return true;
}

bool ReadShapeNode(CShapeNode& node, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 10, "SNODE : UNKNOWN VERSION")) return false;
  node.altName.fill(0);
  std::int32_t level, count;
  if (!I32(file, level) || !I32(file, count)) return false;
  node.level = level;
  node.vertexCount = count;
  if (!ReadV3d(node.pivot, file)) return false;
  if (version >= 4) {
    if (!ReadV3d(node.offset, file)) return false;
  } else {
    node.offset = {0, 0, 0};
  }
  if (!ReadV3d(node.end, file)) return false;
  if (version >= 6) {
    if (!ReadQuat(node.rotation, file)) return false;
  } else {
    CVector angles;
    if (!F32(file, angles.x) || !F32(file, angles.y) || !F32(file, angles.z)) return false;
    WrapAngles(angles);
    node.rotation = {0, 0, 0, 0.5f};
  }
  if (!Name32(file, node.name)) return false;
  if (version == 10 && !Name32(file, node.altName)) return false;
  if (version == 1) {
    node.flags = 0;
  } else if (!U32(file, node.flags)) {
    return false;
  }
  if (version >= 3 && (!F32(file, node.value15) || !F32(file, node.value981))) return false;
  std::uint32_t dropped;
  if ((version == 5 || version == 6 || version == 7) && !U32(file, dropped)) return false;
  if (version >= 7 && !I32(file, node.valueMinus1)) return false;
  if (version >= 9 && !I32(file, node.lockedCount)) return false;
  node.UpdateLength();
  return true;
}

bool ReadShapeNodeList(CShape& shape, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 6, "LSNODE : UNKNOWN VERSION")) return false;
  std::uint32_t count;
  if (!U32(file, count)) return false;
  if (version >= 2) {
    if (!U32(file, shape.nodeState.values[0]) || !U32(file, shape.nodeState.values[1])) return false;
    std::uint32_t dropped;
    if (version == 3 && !U32(file, dropped)) return false;
    if (version >= 5 && !U32(file, shape.nodeState.values[2])) return false;
  }
  if (!CountFits(file, count, kMinSnode)) return false;
  shape.SetNodeCount(static_cast<int>(count));
  for (CShapeNode& n : shape.nodes)
    if (!ReadShapeNode(n, file)) return false;
  shape.nodeState.words[3] = 0;
  LinkShapeNodes(shape.nodes);
  return true;
}

bool ReadEdgeBlock(CShape& shape, MtfFile* file) {
  std::uint16_t version;
  if (!ReadVersion(file, version, 1, "SHAPE : CEDG UNKNOWN VERSION")) return false;
  std::uint32_t n;
  if (!U32(file, n) || !CountFits(file, n, kMinSideEdge)) return false;
  shape.sideEdges.assign(n, CSideEdge{});
  for (CSideEdge& se : shape.sideEdges) {
    if (!ReadVersion(file, version, 1, "SHAPE : CSIDEEDGE UNKNOWN VERSION")) return false;
    for (std::uint32_t& e : se.edge)
      if (!U32(file, e)) return false;
  }
  std::uint32_t m;
  if (!U32(file, m) || !CountFits(file, m, kMinEdge)) return false;
  shape.SetEdgeCount(static_cast<int>(m));
  for (CEdge& e : shape.edges) {
    if (!ReadVersion(file, version, 1, "SHAPE : CEDGE UNKNOWN VERSION")) return false;
    if (!U32(file, e.a) || !U32(file, e.b)) return false;
  }
  return true;
}

int CShape::ReadMrm(MtfFile* file) {
  std::uint32_t version;
  if (!U32(file, version)) return 0;
  if (version < 1 || version > 2) FatalUnknownVersion("SHAPE : MRM UNKNOWN VERSION");
  if (version == 1) return 1;
  std::int32_t n;
  if (!I32(file, n)) return 0;
  mrm.order = {};
  if (n > 0) {
    if (!CountFits(file, static_cast<std::uint32_t>(n), 4)) return 0;
    mrm.order.resize(static_cast<std::size_t>(n));
    for (std::uint32_t& o : mrm.order)
      if (!U32(file, o)) return 0;
  }
  std::int32_t m;
  if (!I32(file, m)) return 0;
  mrm.uv = {};
  if (m > 0) {
    if (!CountFits(file, static_cast<std::uint32_t>(m), kMinUv)) return 0;
    mrm.uv.resize(static_cast<std::size_t>(m));
    for (CUv& uv : mrm.uv)
      if (!ReadUv(uv, file)) return 0;
  }
  std::uint32_t threshold;
  if (!U32(file, mrm.word) || !U32(file, threshold)) return 0;
  mrm.threshold = std::bit_cast<float>(threshold);
  return 1;
}

namespace {

// What the rest of the editor relies on once a stream is read: indices name
// existing vertices and edges, node runs lie within the vertices.
bool Consistent(const CShape& s, std::uint32_t version) {
  const auto nv = static_cast<std::uint32_t>(s.vertices.size());
  for (const CSide& side : s.sides)
    for (std::uint32_t i : side.index)
      if (i >= nv) return false;
  long long total = 0;
  for (const CShapeNode& node : s.nodes) {
    if (node.vertexCount < 0) return false;
    total += node.vertexCount;
  }
  if (total > nv) return false;
  if (version == 4) {
    for (const CEdge& e : s.edges)
      if (e.a >= nv || e.b >= nv) return false;
    const auto ne = static_cast<std::uint32_t>(s.edges.size());
    for (std::size_t i = 0; i < s.sideEdges.size() && i < s.sides.size(); ++i)
      for (int j = 0; j < s.sides[i].CornerCount(); ++j)
        if ((s.sideEdges[i].edge[j] & ~kEdgeReversed) >= ne) return false;
    if (!s.mrm.order.empty()) {
      if (s.mrm.order.size() != nv || s.mrm.uv.size() != nv) return false;
      for (std::uint32_t o : s.mrm.order)
        if ((o & 0x7FFFFFFFu) >= nv) return false;
    }
  }
  return true;
}

}  // namespace

int CShape::ReadShape(MtfFile* file) {
  std::uint32_t version;
  if (!U32(file, version)) return 0;
  if (version < 1 || version > 4) FatalUnknownVersion("SHAPE : UNKNOWN VERSION");
  // Read aside so that a stream that ends early leaves this mesh as it was.
  CShape read;
  read.nodeState = nodeState;
  std::uint32_t word;
  if (!U32(file, word)) return 0;
  read.recordValue = std::bit_cast<float>(word);
  if (!ReadSideList(read, file)) return 0;
  std::erase_if(read.sides, [](CSide& s) { return !s.Validate(); });
  if (!ReadVertexList(read, file) || !ReadShapeNodeList(read, file)) return 0;
  if (version >= 2 && !read.ReadMrm(file)) return 0;
  if (version == 4 && !ReadEdgeBlock(read, file)) return 0;
  if (!Consistent(read, version)) return 0;
  *this = std::move(read);
  if (version <= 3) Rebuild();
  return 1;
}

int CShape::LoadShp(std::string_view name) {
  MtfFilePtr file(MtfOpen(ReplaceExtension(name, ".SHP"), "rb"));
  if (!file) return 0;
  return ReadShape(file.get());
}

}  // namespace pavix
