#pragma once
// Which nodes of the world map stand in which room, worked out once for a pass
// over every room (Generate Quest), so that each room sees only its own nodes
// instead of walking the whole quest, and a link finds its machine and node
// without a search. Lists keep the quest's list order, so every answer is the
// one a walk over the lists would give.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CMachine;
class CMonster;
class CRoom;
class GraphNode;

class RoomNodeIndex {
 public:
  // Indexes the current quest. Nodes must not move on the map, and no node,
  // room or machine may come, go or be renamed while the index is in use.
  RoomNodeIndex();

  // The nodes whose map rectangle meets the room's box (CRoom::IsNodeInRoom).
  std::span<GraphNode* const> NodesOf(const CRoom* room) const;
  // The first machine of that name, ASCII case ignored; nullptr when none.
  CMachine* MachineNamed(std::string_view name) const;
  // The first monster of that key, ASCII case ignored; nullptr when none.
  CMonster* MonsterNamed(std::string_view key) const;
  // The machine's nodes that have keys.
  std::span<GraphNode* const> KeyedNodesOf(const CMachine* machine) const;

  // While a Scope lives, the rooms' node queries go through this index.
  class Scope {
   public:
    explicit Scope(const RoomNodeIndex& index);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    const RoomNodeIndex* previous_;
  };
  static const RoomNodeIndex* Active();

 private:
  std::unordered_map<const CRoom*, std::vector<GraphNode*>> rooms_;
  std::unordered_map<std::string, CMachine*> machines_;
  std::unordered_map<std::string, CMonster*> monsters_;
  std::unordered_map<const CMachine*, std::vector<GraphNode*>> machineNodes_;
};
