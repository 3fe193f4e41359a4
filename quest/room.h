#pragma once
// A room of the quest: an outdoor land or a dungeon level built on a 64 x 64
// grid of blocks (each a mesh of the room's block set) with a 192 x 192
// collision grid, placed traps and monsters, a box on the world map, a
// seven-language name, its own camera and the edit state of the room tools.
//
// Geometry: a collision cell is 512/3 world units, a block 3 cells (512
// units); y is up and z grows toward row 0.
#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "datafiles/multi_lang_text.h"
#include "platform/video/types.h"
#include "quest/room_block.h"
#include "quest/room_block_grid.h"
#include "quest/room_monster.h"
#include "quest/room_trap.h"
#include "render/bank_list.h"
#include "render/camera.h"
#include "render/face.h"
#include "render/matrix.h"
#include "render/mesh_vertex.h"
#include "render/vector3.h"

class Cdd;
class GraphNode;
namespace platform {
class File;
}

inline constexpr int kRoomCells = 192;   // collision cells per side
inline constexpr int kRoomBlocks = 64;   // blocks per side
static_assert(RoomBlockGrid::kSide == kRoomBlocks);
inline constexpr int kCellsPerBlock = 3;
inline constexpr float kCellSize = 512.0f / 3.0f;
inline constexpr float kBlockSize = 512.0f;

// Collision values.
inline constexpr std::uint16_t kCollisionFree = 0;
inline constexpr std::uint16_t kCollisionBlocked = 1;
inline constexpr std::uint16_t kCollisionLow = 2;

inline constexpr int kRoomSelected = 0x1;  // `flags` bit: selected on the world map

// The world position of a collision cell: ((column - 1) x 512/3, 0, (1 - row) x 512/3),
// half a cell inside the cell.
CVector3 CellToWorld(int column, int row);
// The cell holding a world position: integer parts of (x + 256) x 3/512 and
// (256 - z) x 3/512 (not limited to the grid).
void WorldToCell(float x, float z, int& column, int& row);
// The centre cell of a block.
constexpr int BlockToCell(int block) { return block * kCellsPerBlock + 1; }

namespace platform::video {
struct DrawContext;
struct Rect;
}  // namespace platform::video

// Land and level labels of the room list and the map label.
const char* LandName(int land);    // "1-..." to "7-..."; "" outside 0..6
const char* LevelName(int level);  // "Outside", "Level1".."Level4"; "" otherwise

class CRoom {
 public:
  CRoom();
  ~CRoom();
  CRoom(const CRoom&) = delete;
  CRoom& operator=(const CRoom&) = delete;

  // ---- Grids -------------------------------------------------------------
  std::uint16_t& Collision(int column, int row) {
    return collision[static_cast<std::size_t>(row) * kRoomCells + static_cast<std::size_t>(column)];
  }
  std::uint16_t Collision(int column, int row) const {
    return collision[static_cast<std::size_t>(row) * kRoomCells + static_cast<std::size_t>(column)];
  }
  RoomBlock& Block(int column, int row) {
    return blocks[static_cast<std::size_t>(row) * kRoomBlocks + static_cast<std::size_t>(column)];
  }
  const RoomBlock& Block(int column, int row) const {
    return blocks[static_cast<std::size_t>(row) * kRoomBlocks + static_cast<std::size_t>(column)];
  }
  static bool IsCellInGrid(int column, int row) {
    return column >= 0 && row >= 0 && column < kRoomCells && row < kRoomCells;
  }
  static bool IsBlockInGrid(int column, int row) {
    return column >= 0 && row >= 0 && column < kRoomBlocks && row < kRoomBlocks;
  }
  // Where a trap, placed monster or graph node may stand: the grid and one
  // grid's width around it. Off the grid it is reported by the placement
  // check; farther cells are refused when read, so nothing worked out from a
  // cell (export bounds, footprints, rings) can grow without limit.
  static constexpr int kStoredCellLow = -kRoomCells;
  static constexpr int kStoredCellHigh = 2 * kRoomCells - 1;
  static bool IsStoredCell(std::int64_t column, std::int64_t row) {
    return column >= kStoredCellLow && row >= kStoredCellLow && column <= kStoredCellHigh && row <= kStoredCellHigh;
  }

  // ---- Traps and placed monsters -----------------------------------------
  // Unlink and free one trap or monster; every pick, link source and trap
  // target that referred to it is cleared. Unknown addresses are ignored.
  void RemoveTrap(RoomTrap* trap);
  void RemoveMonster(RoomMonster* monster);
  // Free every trap or every placed monster, clearing what referred to them.
  void FreeTraps();
  void FreeMonsters();
  // Forgets a graph node that is going away (picks and link source).
  void ForgetNode(const GraphNode* node);
  RoomTrap* FindTrapAt(int column, int row) const;
  RoomMonster* FindMonsterAt(int column, int row) const;
  // Each trap whose target cell is not negative targets the first other
  // trap standing on that cell, else none.
  void RelinkTrapTargets();

  // ---- Map box -------------------------------------------------------------
  bool IsSelected() const { return (flags & kRoomSelected) != 0; }
  void SetSelected(bool on) { flags = on ? (flags | kRoomSelected) : (flags & ~kRoomSelected); }
  // "%s [%s,%s]" of name, land label and level label.
  std::string MapLabel() const;
  // The map label through the window system's text functions on a draw
  // context: centred on the box with its bottom 2 above the box's top, placed
  // relative to the visible rectangle's top-left corner, and drawn only when
  // it overlaps that rectangle (room_map_box_drawing.cpp).
  void DrawMapLabel(platform::video::DrawContext* dc, const platform::video::Rect& visible) const;

  // ---- Import ------------------------------------------------------------
  // A game room file: geometry, collision, traps and monsters, then the
  // block-set part. 0 when the file cannot be opened (silently) or is cut
  // short (reported; the room is then unchanged); otherwise the result of
  // the last part read.
  int ImportCdf(const char* path);
  // A block-set file; 0 when it cannot be opened, is not a block set, or is
  // cut short (reported; the block set is then unchanged).
  int ImportCbs(const char* path);
  // The same over a whole file's bytes; path names the file in messages.
  int ImportCdfBytes(std::span<const std::uint8_t> bytes, const char* path);
  int ImportCbsBytes(std::span<const std::uint8_t> bytes, const char* path);
  // The block set of the room's level and land.
  void LoadBlockSet();
  // Every block name whose base name the block set knows becomes that entry's full path.
  void RemapBlockNames();

  // ---- Quest file record (throws platform::FileException) ----------------
  // Numbers the traps (their file ids) before writing them.
  void Save(platform::File& file);
  // The block set is filled again from the file and its mesh cache emptied.
  void Load(platform::File& file);

  // ---- Auto-tiling (room_tiling.cpp) --------------------------------------
  // The first palette row (and its orientation) whose rule matches the kinds
  // around a block cell, trying orientations 0 to 3; -1 when none.
  int MatchRule(int column, int row, int& orientation) const;
  // The block-set path of the variant the cell should hold; the current name
  // when it already stands in the matched row and force is 0; "" when no
  // rule matches or the block set lacks the variant.
  std::string ChooseVariant(int column, int row, int& orientation, int key, int force) const;
  // Re-tiles one cell; a cell whose block is in no palette row, or in a row
  // the rules never choose, is left alone. True when the cell changed.
  bool AutoTile(int column, int row, int key, int force);
  // Puts the base name into the cell and re-tiles it (forced) and its eight
  // neighbours (left, right, above, below, above-left, below-left,
  // below-right, above-right).
  void PaintBlock(int column, int row, const std::string& base, int key);

  // ---- Editing tools and camera (room_tools.cpp) --------------------------
  // The tool numbers of the room view.
  enum Tool : int {
    kToolRotateCamera = 1, kToolTranslateCamera, kToolZoom, kToolElevate,
    kToolMoveBlock, kToolCopyBlock, kToolDeleteBlock, kToolPickBlock, kToolRotateBlock, kToolSetBlock,
    kToolMoveTrap, kToolRotateTrap, kToolAddTrap, kToolDeleteTrap,
    kToolAddMonster = 16, kToolRotateMonster, kToolMoveMonster, kToolDeleteMonster,
    kToolSetCollision, kToolSetLowCollision, kToolClearCollision, kToolAddLink, kToolDeleteLink,
    kToolMove, kToolRotate, kToolDelete, kToolDraw, kToolNone, kToolErase,
  };

  void ZoomCamera(float d);
  void TranslateCamera(float dx, float dy);
  void YawCamera(float d);
  void PitchCamera(float d);
  void ElevateCamera(float d);
  // Moves the room's camera to where its saved fields put it, turned toward
  // the target.
  void UpdateCamera();
  // The focal factors and centre the room is drawn with (set by the drawing
  // from the engine, or by the view for the picks before the first paint).
  void SetProjection(float focalX, float focalY, float centreX, float centreY);
  // The world point of the ground (where the grid and overlays lie, y = -256)
  // under a view pixel; false, with the point untouched, when the ray misses
  // the ground or meets it behind the camera.
  bool ScreenToGround(int x, int y, CVector3& point) const;
  // The pixel a world point is drawn at; false when it lies behind the near plane.
  bool WorldToScreen(const CVector3& p, float& x, float& y) const;
  CVector3 WorldToCamera(const CVector3& p) const;
  CVector3 CameraToWorld(const CVector3& p) const;
  // The room camera's world-to-camera transform.
  CMatrix CameraMatrix() const;
  void DrawGrid(bool placement);
  // The cell and block under the pointer; the previous ones stay when the
  // pointer is not over the ground. True when the cell (cell tools) or the
  // block (block tools) changed.
  bool PickCell(int x, int y);
  bool IsCellTool() const;
  void PickDragStart(int x, int y);
  void PickDragEnd(int x, int y);
  void MoveBlock();
  void CopyBlock();
  void ClearBlock(int x, int y);
  void PickBlock(int x, int y);
  void RotateBlock(int x, int y);
  void PasteBlock(int x, int y);
  void SetChosenBlock(const char* fileName);
  void DrawBlock(int x, int y);
  void EraseBlock(int x, int y);
  void NullTool(int x, int y) { PickCell(x, y); }
  void SetCollision(int x, int y);
  void SetLowCollision(int x, int y);
  void ClearCollision(int x, int y);
  void AddTrap(int x, int y);
  void DeleteTrap(int x, int y);
  void PickNodeOrTrap(int x, int y);
  bool MovePickedNodeOrTrap(int x, int y);
  void RotatePicked(int x, int y);
  void ClearNodeOrTrapPick();
  void ClearPicks();
  void SetMonsterToAdd(const char* monsterClass);
  void AddMonster(int x, int y);
  void PickMonster(int x, int y);
  void ClearMonsterPick();
  bool MovePickedMonster(int x, int y);
  bool RotateMonster(int x, int y);
  bool DeleteMonster(int x, int y);
  void PickForMove(int x, int y);
  void AddLink(int x, int y);
  void DeleteLinks(int x, int y);
  void ClearLinkSource();

  // ---- Collision, placement and export (room_export.cpp) ------------------
  bool IsCellBlocked(int column, int row);
  bool IsInTrapFootprint(const RoomTrap& trap, int column, int row);
  GraphNode* FindNodeAt(int column, int row) const;
  bool IsNodeInRoom(const GraphNode* node) const;
  // The room's box meets this map rectangle.
  bool BoxMeets(const platform::video::Rect& r) const;
  // The quest's nodes in this room, in list order: from the active
  // RoomNodeIndex when there is one, else from a walk over every node.
  struct NodeList {
    NodeList() = default;
    NodeList(NodeList&&) = default;  // the span stays on the moved buffer
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;
    std::vector<GraphNode*> owned;
    std::span<GraphNode* const> nodes;
    auto begin() const { return nodes.begin(); }
    auto end() const { return nodes.end(); }
  };
  NodeList NodesInRoom() const;
  bool IsCellTaken(int column, int row, const RoomTrap* ignore);
  bool IsCellTakenForNode(int column, int row, const RoomTrap* ignore);
  GraphNode* ResolveLink(GraphNode* node, int slot);
  // The same without touching the link: machineGone tells a link naming a
  // machine that no longer exists.
  GraphNode* FindLinkTarget(const GraphNode* node, int slot, bool* machineGone = nullptr) const;
  void SeparateNodes();
  void CheckPlacements();
  int ExportCdf(const char* namePrefix, const char* questName);

  // ---- 3D drawing (room_render.cpp) ---------------------------------------
  // The whole room around the camera target, through the 3D engine; the
  // texts go onto the display device's back surface when one is given.
  // Drawing never changes the document.
  void Render3D(Cdd* cdd = nullptr);
  // Colours are 16-bit 5-6-5 values.
  void DrawGroundLine(const CVector3& from, const CVector3& to, std::uint16_t colour);
  void DrawBlockSquare(int column, int row, std::uint16_t colour, float size);
  void DrawCellSquare(int column, int row, std::uint16_t colour, float size);
  void DrawCellSquareAt(const CVector3& centre, std::uint16_t colour, float size);
  void DrawLinkArch(const CVector3& from, float fromHeight, const CVector3& to, float toHeight);
  void DrawLabels3D(platform::video::DrawContext* dc);
  // True while a tool that places things on the collision grid is current.
  bool IsPlacementTool() const;
  void DrawNodes3D();
  void DrawTraps3D();
  // Placed monsters through their skinned models, rebuilt when the class changes.
  void DrawMonsters3D();
  void DrawPlacedMonster(RoomMonster& monster);
  void DrawLinks3D();
  // A link's arrow head at its end and box at its start, handed to the
  // engine as faces over vertices kept in linkShapes.
  void DrawArrowHead3D(const CMatrix& m, const CVector3& tip);
  void DrawLinkStart3D(const CMatrix& m, const CVector3& at);
  void DrawFootprints();
  // Frees the link shapes; only once the buckets holding them are flushed.
  void ReleaseLinkShapes() { linkShapes.clear(); }

  // ---- Record ------------------------------------------------------------
  CRoom* next = nullptr;
  char name[80] = {};
  std::int32_t land = 0;   // 0..6
  std::int32_t level = 0;  // 0 outside, 1..4 dungeon level
  CMultiLangText text;
  std::int32_t levelFlag = 0;
  std::int32_t entrance = 0;
  std::int32_t flags = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // box on the world map
  std::array<std::uint16_t, kRoomCells * kRoomCells> collision{};  // row after row
  RoomBlockGrid blocks;                                            // row after row
  RoomTrap* traps = nullptr;
  RoomMonster* monsters = nullptr;
  CBankList blockSet;
  RoomBlock copyBlock;

  CCamera camera;
  float targetX = 0.0f, targetY = 0.0f, targetZ = 0.0f;
  float offsetX = 0.0f, offsetY = 0.0f;
  float distance = 4000.0f;
  float pitch = -0.3926991f;  // -pi/8
  float yaw = 0.0f;
  float roll = 0.0f;

  // ---- Edit state of the room tools ----------------------------------------
  // Grows with every change the tools make to the room or the quest, so a
  // caller can tell whether an edit changed anything.
  std::uint32_t editCount = 0;
  float focalX = 500.0f, focalY = 500.0f;
  float centreX = 320.0f, centreY = 240.0f;
  std::int32_t tool = 0;
  bool buttonDown = false;
  CVector3 cursorPoint;  // world point under the mouse
  std::int32_t cellX = 0, cellY = 0;    // current collision cell
  std::int32_t blockX = 0, blockY = 0;  // current block
  std::int32_t dragStartX = 0, dragStartY = 0;
  std::int32_t dragEndX = 0, dragEndY = 0;
  GraphNode* pickedNode = nullptr;
  RoomTrap* pickedTrap = nullptr;
  RoomMonster* pickedMonster = nullptr;
  GraphNode* linkSourceNode = nullptr;
  RoomTrap* linkSourceTrap = nullptr;
  std::int32_t selectedTrapType = -1;
  char monsterToAdd[80] = {};
  RoomMonster previewMonster;
  std::int32_t collisionColumns = kRoomCells, collisionRows = kRoomCells;
  // The engine's depth buckets point at the faces and vertices they were
  // handed until the flush: the link shapes of a frame live here until then
  // (a deque, so adding one never moves those already handed over).
  struct LinkShape {
    std::array<CMeshVertex, 8> vertices;
    std::array<CFace, 12> faces;
  };
  std::deque<LinkShape> linkShapes;
  std::int32_t blockColumns = kRoomBlocks, blockRows = kRoomBlocks;
};

// A new room pushed at the head of a room list.
CRoom* NewRoom(CRoom*& head);
