#pragma once
// What stands on a room's collision grid: the footprints of block and trap
// meshes turned by their rotation, the rectangles that make graph nodes
// belong to a room, and the export grid of the ".cdf" room file. The CRoom
// operations that test, separate and check placements build on these.
#include <cstdint>
#include <span>
#include <vector>

#include "quest/quest_lists.h"
#include "render/vector3.h"

class CMesh;
class CRoom;
class GraphNode;
struct GenericDef;

struct CellPoint {
  int x = 0;
  int y = 0;
};

// A 3 x 3 footprint cell (x, y) to its place on the grid for rotation 0..3;
// any other rotation leaves it where it is.
CellPoint RotateCell(int rotation, int x, int y);
// A grid place back to the footprint cell; any other rotation gives (2, 2).
CellPoint UnrotateCell(int rotation, int x, int y);

// The generic trap definition of a trap type (its `type`), or null.
const GenericDef* FindGenericDef(int type);
// The mesh of a generic definition from the generic-mesh bank, or null.
CMesh* GenericDefMesh(const GenericDef& definition);

// The export grid: 192 x 192 values, row after row.
using ExportGrid = std::vector<std::uint16_t>;
// Writes every block's non-zero footprint cells (blocks column-outer,
// row-inner) at their rotated places within the block.
void StampBlockCells(CRoom& room, ExportGrid& grid);
// Then every trap's non-zero footprint cells around the trap's cell (a trap
// cell overwrites a block cell). Cells outside the grid are not written; the
// value is the mesh byte as a signed 8-bit number widened to 16 bits.
void StampTrapCells(CRoom& room, ExportGrid& grid);
// A copy of the room's collision grid with both stamps.
ExportGrid BuildExportGrid(CRoom& room);

CVector3 NegateVector(const CVector3& v);

// A node that can stand in a room: a machine, skeleton or monster node with an owner.
bool IsPlacedNode(const GraphNode& node);

