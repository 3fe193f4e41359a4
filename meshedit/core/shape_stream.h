#pragma once
// Readers of the SHAPE record stream of the game's ".SHP" meshes: a tree of
// small records, each starting with its own version. A record of a version
// the reader does not know ends the program after a warning box naming it;
// a stream that ends inside a record makes its reader return false.
#include <cstdint>
#include <string_view>

#include "meshedit/core/matrix.h"

namespace pavix {

struct MtfFile;
class CShape;
class CShapeNode;
struct CShapeVertex;
struct CSide;

// The warning box "<text>" titled "ERROR", then the end of the program (code 0).
[[noreturn]] void FatalUnknownVersion(std::string_view text);

bool ReadV3d(CVector& v, MtfFile* file);
bool ReadUv(CUv& uv, MtfFile* file);
bool ReadQuat(CQuaternion& q, MtfFile* file);
bool ReadRgb(std::uint8_t rgba[4], MtfFile* file);
bool ReadVtx(CShapeVertex& v, MtfFile* file);
bool ReadVertexList(CShape& shape, MtfFile* file);
bool ReadSide(CSide& side, MtfFile* file);
// Sides as stored, degenerate ones dropped; indices are checked by the caller
// once the vertices are known.
bool ReadSideList(CShape& shape, MtfFile* file);
bool ReadShapeNode(CShapeNode& node, MtfFile* file);
bool ReadShapeNodeList(CShape& shape, MtfFile* file);
bool ReadEdgeBlock(CShape& shape, MtfFile* file);

}  // namespace pavix
