#include <gtest/gtest.h>

#include "platform/ui/command_target.h"

using namespace platform::ui;

namespace {

struct Chain {
  CommandTarget view, doc, frame, app;
  std::vector<CommandTarget*> route() { return {&view, &doc, &frame, &app}; }
  std::vector<std::string> ran;
};

TEST(CommandRouting, FirstTargetInRouteOrderRunsTheCommand) {
  Chain c;
  c.app.OnCommand(100, [&] { c.ran.push_back("app"); });
  c.frame.OnCommand(100, [&] { c.ran.push_back("frame"); });
  c.doc.OnCommand(100, [&] { c.ran.push_back("doc"); });
  EXPECT_TRUE(DispatchCommand(c.route(), 100));
  EXPECT_EQ(c.ran, std::vector<std::string>{"doc"});
  c.view.OnCommand(100, [&] { c.ran.push_back("view"); });
  EXPECT_TRUE(DispatchCommand(c.route(), 100));
  EXPECT_EQ(c.ran.back(), "view");
}

TEST(CommandRouting, NullTargetsAreSkipped) {
  Chain c;
  c.app.OnCommand(7, [&] { c.ran.push_back("app"); });
  EXPECT_TRUE(DispatchCommand({nullptr, nullptr, &c.app}, 7));
  EXPECT_EQ(c.ran.size(), 1u);
}

TEST(CommandRouting, CommandWithoutHandlerIsDisabledAndDoesNotRun) {
  Chain c;
  EXPECT_FALSE(QueryCommand(c.route(), 5).enabled);
  EXPECT_FALSE(DispatchCommand(c.route(), 5));
}

TEST(CommandRouting, HandledCommandWithoutRuleIsEnabled) {
  Chain c;
  c.app.OnCommand(5, [] {});
  CommandState s = QueryCommand(c.route(), 5);
  EXPECT_TRUE(s.enabled);
  EXPECT_FALSE(s.checked);
  EXPECT_FALSE(s.radio);
}

TEST(CommandRouting, DisabledByItsRuleTheCommandDoesNotRun) {
  Chain c;
  bool allowed = false;
  c.app.OnCommand(9, [&] { c.ran.push_back("app"); });
  c.frame.OnUpdate(9, [&](CommandState& s) { s.Enable(allowed); });
  EXPECT_FALSE(DispatchCommand(c.route(), 9));
  EXPECT_TRUE(c.ran.empty());
  allowed = true;
  EXPECT_TRUE(DispatchCommand(c.route(), 9));
  EXPECT_EQ(c.ran.size(), 1u);
}

TEST(CommandRouting, FirstRuleInRouteOrderDecides) {
  Chain c;
  c.app.OnCommand(3, [] {});
  c.app.OnUpdate(3, [](CommandState& s) { s.SetCheck(true); });
  c.doc.OnUpdate(3, [](CommandState& s) { s.SetRadio(true); });
  CommandState s = QueryCommand(c.route(), 3);
  EXPECT_TRUE(s.radio);
  EXPECT_FALSE(s.checked);  // the application's rule was not reached
}

TEST(CommandRouting, RangesServeEveryIdInside) {
  Chain c;
  std::vector<int> got;
  c.app.OnCommandRange(57616, 57619, [&](int id) { got.push_back(id); });
  c.app.OnUpdateRange(57616, 57619, [](CommandState& s) { s.Enable(s.id != 57618); });
  EXPECT_TRUE(DispatchCommand(c.route(), 57617));
  EXPECT_FALSE(DispatchCommand(c.route(), 57618));
  EXPECT_FALSE(DispatchCommand(c.route(), 57620));
  EXPECT_EQ(got, std::vector<int>{57617});
}

TEST(CommandRouting, HandlerMayReplaceItselfWhileRunning) {
  CommandTarget t;
  int calls = 0;
  t.OnCommand(1, [&] {
    ++calls;
    t.OnCommand(1, [&] { calls += 10; });
  });
  EXPECT_TRUE(t.ExecuteCommand(1));
  EXPECT_TRUE(t.ExecuteCommand(1));
  EXPECT_EQ(calls, 11);
}

}  // namespace
