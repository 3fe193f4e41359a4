#pragma once
// The open quest's lists and the state-machine library, kept in one place so
// that closing a quest (and each test) starts from a known state.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "quest/machine_library.h"

class CMachine;
class CMonster;
class CQuestObject;
class CRoom;
class GraphNode;
struct ElementInstance;
struct GraphLink;
struct Marker;

struct MapRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// What the world map needs from the views; the editor installs it.
class IWorldMapView {
 public:
  virtual ~IWorldMapView() = default;
  // The current edit mode's view rectangle in world units; false when there
  // is no room view or no mode.
  virtual bool GetViewRect(MapRect& rect) = 0;
  // The click point stored by the map's context menu, relative to the view,
  // cleared as it is taken; false when none is stored.
  virtual bool TakeClickPoint(int& x, int& y) = 0;
  // The room view's tooltip of a machine instance (ignored without a view).
  virtual void AddInstanceTooltip(const ElementInstance* instance, std::string_view text) = 0;
  virtual void RemoveInstanceTooltip(const ElementInstance* instance) = 0;
  // Moves that tooltip's rectangle (client coordinates) to where its node is drawn.
  virtual void MoveInstanceTooltip(const ElementInstance* instance, const MapRect& client) = 0;
};

struct QuestState {
  QuestState();
  ~QuestState();
  QuestState(const QuestState&) = delete;
  QuestState& operator=(const QuestState&) = delete;

  // The library (read-only after start-up) and its generic trap definitions.
  GenericDef* generics = nullptr;
  CMachineLibrary library{generics};

  CMachine* machines = nullptr;
  CQuestObject* questObjects = nullptr;
  CMonster* monsters = nullptr;
  CRoom* rooms = nullptr;
  GraphNode* graphNodes = nullptr;
  GraphLink* graphLinks = nullptr;
  // The nodes of graphNodes by name folded to lower case (FoldNodeName).
  std::unordered_map<std::string, std::vector<GraphNode*>> nodeNames;
  Marker* markers = nullptr;
  int markerCounter = 0;
  MapRect mapView;  // the world-map view rectangle, saved with the quest

  // Where Merge reads a second quest before splicing it in.
  CMachine* mergeMachines = nullptr;
  CQuestObject* mergeObjects = nullptr;
  CMonster* mergeMonsters = nullptr;
  CRoom* mergeRooms = nullptr;

  IWorldMapView* view = nullptr;  // not owned
};

QuestState& Quest();

// A node name as the name index keys it: ASCII letters in lower case.
std::string FoldNodeName(std::string_view name);

// Frees every node with its keys and every link.
void FreeGraph();
// Closes the quest: the graph, objects, machines, monsters, rooms, markers
// (and their counter) and the staging lists.
void FreeQuestLists();
// Everything back to the state at start, library and view hook included.
void ResetQuestState();
