#pragma once
// Shared set-up of the quest tests: a clean quest state and language, the
// scripted message boxes, a fake room view, and small lookups over the graph.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/language_table.h"
#include "datafiles/monster_class_table.h"
#include "platform/core/services.h"
#include "quest/graph_link.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"

namespace questtest {

class FakeView : public IWorldMapView {
 public:
  bool GetViewRect(MapRect& out) override {
    if (!hasMode) return false;
    out = rect;
    return true;
  }
  bool TakeClickPoint(int& x, int& y) override {
    if (!clickStored) return false;
    clickStored = false;
    x = clickX;
    y = clickY;
    return true;
  }
  void AddInstanceTooltip(const ElementInstance* instance, std::string_view text) override {
    tooltips[instance] = std::string(text);
  }
  void RemoveInstanceTooltip(const ElementInstance* instance) override { tooltips.erase(instance); }
  void MoveInstanceTooltip(const ElementInstance* instance, const MapRect& client) override {
    tooltipRects[instance] = client;
  }

  bool hasMode = true;
  MapRect rect{0, 0, 736, 480};
  bool clickStored = false;
  int clickX = 0;
  int clickY = 0;
  std::map<const ElementInstance*, std::string> tooltips;
  std::map<const ElementInstance*, MapRect> tooltipRects;
};

// Fills the game's monster-class table with version-1 rows of these names.
void SetMonsterClasses(const std::vector<std::string>& names);

class QuestTest : public ::testing::Test {
 protected:
  QuestTest();
  ~QuestTest() override;

  // Parses a definition text into the quest's library.
  void Define(std::string_view qsm);
  void InstallView() { Quest().view = &view; }

  platform::ScriptedServices ui;
  FakeView view;
};

// Nodes of the quest's list with that name (exact), in list order.
std::vector<GraphNode*> NodesNamed(std::string_view name);
GraphNode* NodeNamed(std::string_view name);
std::size_t NodeCount();
std::size_t LinkCount();
// The names of a node's keys, in list order.
std::vector<std::string> KeyNames(const GraphNode* node);
// Whether a link joins the two nodes in that direction.
const GraphLink* LinkBetween(const GraphNode* from, const GraphNode* to);

}  // namespace questtest
