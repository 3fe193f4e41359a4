#pragma once
// A node of the world map and the keys that keep it alive: one key per
// instance (and, for machines, per parameter value) that the node stands for.
// A node left without keys is removed with its links.
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/video/text_functions.h"
#include "platform/video/types.h"
#include "quest/quest_list.h"

class CMachine;
class CMachineParam;
class CMonster;
class CSkinnedModel;
class GraphNode;
struct ElementInstance;

enum GraphNodeKind : int {
  kNodeMachine = 1,       // machine instance
  kNodeObject = 2,        // object, shared by every instance naming it
  kNodeSkeleton = 3,      // machine instance drawn with a skeleton model
  kNodeMonsterParam = 4,  // monster named by a machine parameter
  kNodeMonster = 5,       // monster instance
};

struct GraphKey {
  GraphKey() = default;
  // Leaves its instance's chain.
  ~GraphKey();
  GraphKey(const GraphKey&) = delete;
  GraphKey& operator=(const GraphKey&) = delete;

  // element: the machine or monster whose instance the key stands for.
  void Set(std::string_view instanceName, CMachineParam* keyValue, const void* keyElement);
  void DetachFromInstance();

  char name[80] = {};                // the instance name
  CMachineParam* value = nullptr;    // null for monster instances
  const void* element = nullptr;
  GraphKey* next = nullptr;

  // The node holding the key, and the instance it stands for with the chain
  // of that instance's keys, so an instance finds its nodes without a search.
  GraphNode* node = nullptr;
  ElementInstance* instance = nullptr;
  GraphKey* instancePrev = nullptr;
  GraphKey* instanceNext = nullptr;
};

class GraphNode {
 public:
  GraphNode();
  ~GraphNode();
  GraphNode(const GraphNode&) = delete;
  GraphNode& operator=(const GraphNode&) = delete;

  // Back to a new node: everything cleared, no keys or model, drawSlot -1,
  // cell (96, 96).
  void Reset();
  // Position, kind, title and name, owner (a CMachine for kinds 1 and 3, a
  // CMonster for kind 5, none otherwise).
  void Set(int nodeKind, std::string_view nodeName, int nodeX, int nodeY, void* nodeOwner);
  // Names change only through Set and SetName, which keep the quest's name index.
  void SetName(std::string_view nodeName);
  // Enters the node into the quest's index of node names (done for the
  // nodes of the quest's list).
  void JoinNameIndex();

  // A key of the instance (named after it) at the head of the node's keys.
  GraphKey* AddKey(ElementInstance* keyInstance, CMachineParam* keyValue, const void* keyElement);
  // Removes the keys of that value; returns the number of keys left.
  int RemoveKeysOf(const CMachineParam* keyValue);
  int KeyCount() const { return static_cast<int>(ListLength(keys)); }

  CMachine* OwnerMachine() const;

  // The node's rectangle on the map. Drawing and room membership both take
  // it from here, so they agree whether or not the map has been drawn.
  // Machine nodes: the bounds of their fitted mesh inside the 64 x 64
  // picture box, else 48 x 48; model nodes: their 96 x 96 box.
  platform::video::Rect MapRect() const;
  // Draws the node relative to the view's left-top corner and sets its
  // rectangle (also when it is outside the view).
  void Draw(float elapsed, const platform::video::Rect& view);
  // Builds (or rebuilds, when the class changed) the node's model for the
  // monster class its name gives: the class of that name, else, by class,
  // the first class drawn with a skeleton of that name, or otherwise the
  // class of the quest monster with that key. Nothing without a class.
  void SetupModel(bool byClass);
  // The node's name (or its instance's) centred under its rectangle.
  void DrawLabel(platform::video::DrawContext* dc, const platform::video::Rect& view) const;
  CMonster* OwnerMonster() const;

  GraphNode* next = nullptr;
  // Grows with every node made. Nodes only ever join a list at its head, so
  // of two nodes in one list the one with the higher number comes first.
  std::uint64_t sequence = 0;
  int x = 0;
  int y = 0;
  int left = 0, top = 0, right = 0, bottom = 0;  // on the map, set by the drawing
  int kind = 0;
  void* owner = nullptr;
  // The node's skinned model (kinds 3 to 5), built by SetupModel.
  std::shared_ptr<CSkinnedModel> model;
  float modelLift = 0.0f;  // raises the model's feet to the ground in a room
  int drawSlot = -1;
  char skeletonName[80] = {};  // what the model was built from
  char title[80] = {};
  char name[80] = {};
  int flags = 0;  // bit 0: selected on the map
  int linkCounts[4] = {};  // top, right, bottom, left
  GraphKey* keys = nullptr;
  int cellX = 96;
  int cellY = 96;
  int rotation = 0;
  int exportIndex = 0;

 private:
  void DrawMeshNode(const platform::video::Rect& view);
  void DrawObjectNode(const platform::video::Rect& view);
  void DrawSkeletonNode(const platform::video::Rect& view);
  void DrawMonsterNode(const platform::video::Rect& view);
  // The thumbnail of the model and the white frame of a 96 x 96 node.
  void DrawModelBox(const platform::video::Rect& view);
  // The skeleton node's model when its name is no class's: the skeleton of that name itself.
  void SetupSkeletonModel();
  // Moves the tooltip of the node's instance to the node's rectangle.
  void MoveTooltip(const platform::video::Rect& view) const;
  void IndexName(bool add);
  bool inNameIndex_ = false;
};

inline constexpr int kNodeSelected = 0x1;

// A bare key at the head of a key list. It belongs to no instance, so the
// instance lookups never see it; the graph's own operations use GraphNode::AddKey.
GraphKey* NewGraphKey(GraphKey*& head);
void RemoveGraphKey(GraphKey*& head, GraphKey* key);
void FreeKeyList(GraphKey*& head);
