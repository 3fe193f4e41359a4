#include "quest_fixture.h"

#include <span>

#include "support/bytes.h"

namespace questtest {

void SetMonsterClasses(const std::vector<std::string>& names) {
  testsupport::Bytes b;
  b.u16(1).u32(static_cast<std::uint32_t>(names.size()));
  for (const std::string& name : names) {
    // Version 1: every field up to 31 except field 29.
    b.u16(1).fixed(name, 32).fixed("", 32).u16(0).u16(0);
    for (int i = 0; i < 6; ++i) b.i32(0);
    for (int i = 0; i < 3; ++i) b.u16(0);
    for (int i = 0; i < 12; ++i) b.i32(0);
    b.fixed("", 64).f32(0).u16(0).i32(0).i32(0);
  }
  ASSERT_TRUE(g_monsterClassTable.Read(std::span<const std::uint8_t>(b.data())));
  ASSERT_EQ(g_monsterClassTable.Count(), names.size());
}

QuestTest::QuestTest() {
  ResetQuestState();
  g_languageTable.Reset();
  g_languageTable.SetLanguage(kLanguageEnglish);
  g_monsterClassTable.Free();
}

QuestTest::~QuestTest() {
  ResetQuestState();
  g_monsterClassTable.Free();
  g_languageTable.Reset();
}

void QuestTest::Define(std::string_view qsm) {
  CMachineLibrary& library = Quest().library;
  library.SetText("test.qsm", qsm);
  library.ParseBlock("", false);
  library.FreeBuffer();
}

std::vector<GraphNode*> NodesNamed(std::string_view name) {
  std::vector<GraphNode*> nodes;
  for (GraphNode* n = Quest().graphNodes; n; n = n->next) {
    if (std::string_view(n->name) == name) nodes.push_back(n);
  }
  return nodes;
}

GraphNode* NodeNamed(std::string_view name) {
  std::vector<GraphNode*> nodes = NodesNamed(name);
  return nodes.size() == 1 ? nodes[0] : nullptr;
}

std::size_t NodeCount() { return ListLength(Quest().graphNodes); }
std::size_t LinkCount() { return ListLength(Quest().graphLinks); }

std::vector<std::string> KeyNames(const GraphNode* node) {
  std::vector<std::string> names;
  for (const GraphKey* k = node->keys; k; k = k->next) names.emplace_back(k->name);
  return names;
}

const GraphLink* LinkBetween(const GraphNode* from, const GraphNode* to) {
  for (const GraphLink* l = Quest().graphLinks; l; l = l->next) {
    if (l->from == from && l->to == to) return l;
  }
  return nullptr;
}

}  // namespace questtest
