#include "quest/room_node_index.h"

#include <algorithm>
#include <cstdint>

#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/machine.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "quest/room_placement.h"

namespace {

const RoomNodeIndex* g_active = nullptr;

// Rooms are found through a grid of square buckets on the map, so a node is
// tested only against the rooms near it. A room spanning more buckets than
// this is tested against every node instead.
constexpr std::int64_t kBucketSize = 1024;
constexpr std::int64_t kMaxBucketsPerRoom = 256;

std::int64_t Bucket(std::int64_t v) { return v >= 0 ? v / kBucketSize : -((-v + kBucketSize - 1) / kBucketSize); }

std::uint64_t BucketKey(std::int64_t x, std::int64_t y) {
  return (std::uint64_t(std::uint32_t(std::int32_t(x))) << 32) | std::uint32_t(std::int32_t(y));
}

}  // namespace

RoomNodeIndex::RoomNodeIndex() {
  const QuestState& q = Quest();
  std::vector<const CRoom*> rooms;
  for (const CRoom* room = q.rooms; room; room = room->next) rooms.push_back(room);

  std::unordered_map<std::uint64_t, std::vector<std::size_t>> buckets;
  std::vector<std::size_t> wide;
  for (std::size_t i = 0; i < rooms.size(); ++i) {
    const CRoom& room = *rooms[i];
    rooms_[&room];
    // A box stored the wrong way round still meets what spans it: bucket its extent either way.
    const std::int64_t x0 = Bucket(std::min(room.left, room.right)), x1 = Bucket(std::max(room.left, room.right));
    const std::int64_t y0 = Bucket(std::min(room.top, room.bottom)), y1 = Bucket(std::max(room.top, room.bottom));
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxBucketsPerRoom) {
      wide.push_back(i);
      continue;
    }
    for (std::int64_t x = x0; x <= x1; ++x) {
      for (std::int64_t y = y0; y <= y1; ++y) buckets[BucketKey(x, y)].push_back(i);
    }
  }

  std::vector<std::size_t> candidates;
  for (GraphNode* node = q.graphNodes; node; node = node->next) {
    if (node->OwnerMachine() && node->keys) machineNodes_[node->OwnerMachine()].push_back(node);
    if (!IsPlacedNode(*node)) continue;
    const platform::video::Rect r = node->MapRect();
    candidates = wide;
    const std::int64_t x0 = Bucket(std::min(r.left, r.right)), x1 = Bucket(std::max(r.left, r.right));
    const std::int64_t y0 = Bucket(std::min(r.top, r.bottom)), y1 = Bucket(std::max(r.top, r.bottom));
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxBucketsPerRoom) {
      candidates.clear();
      for (std::size_t i = 0; i < rooms.size(); ++i) candidates.push_back(i);
    } else {
      for (std::int64_t x = x0; x <= x1; ++x) {
        for (std::int64_t y = y0; y <= y1; ++y) {
          const auto it = buckets.find(BucketKey(x, y));
          if (it != buckets.end()) candidates.insert(candidates.end(), it->second.begin(), it->second.end());
        }
      }
      std::sort(candidates.begin(), candidates.end());
      candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    }
    for (std::size_t i : candidates) {
      if (rooms[i]->BoxMeets(r)) rooms_[rooms[i]].push_back(node);
    }
  }

  for (CMachine* machine = q.machines; machine; machine = machine->next) {
    machines_.try_emplace(FoldNodeName(FieldText(machine->name)), machine);  // the first of a name wins
  }
  for (CMonster* monster = q.monsters; monster; monster = monster->next) {
    monsters_.try_emplace(FoldNodeName(FieldText(monster->key)), monster);
  }
}

std::span<GraphNode* const> RoomNodeIndex::NodesOf(const CRoom* room) const {
  const auto it = rooms_.find(room);
  if (it == rooms_.end()) return {};
  return it->second;
}

CMachine* RoomNodeIndex::MachineNamed(std::string_view name) const {
  const auto it = machines_.find(FoldNodeName(name));
  return it == machines_.end() ? nullptr : it->second;
}

CMonster* RoomNodeIndex::MonsterNamed(std::string_view key) const {
  const auto it = monsters_.find(FoldNodeName(key));
  return it == monsters_.end() ? nullptr : it->second;
}

std::span<GraphNode* const> RoomNodeIndex::KeyedNodesOf(const CMachine* machine) const {
  const auto it = machineNodes_.find(machine);
  if (it == machineNodes_.end()) return {};
  return it->second;
}

RoomNodeIndex::Scope::Scope(const RoomNodeIndex& index) : previous_(g_active) { g_active = &index; }

RoomNodeIndex::Scope::~Scope() { g_active = previous_; }

const RoomNodeIndex* RoomNodeIndex::Active() { return g_active; }
