#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/core/services.h"
#include "platform/core/trace.h"

using namespace platform;

namespace {

TEST(Services, ScriptedBoxesRecordAndAnswer) {
  ScriptedServices ui;
  ui.Answer(kIdNo);
  EXPECT_EQ(MessageBox("Save changes?", "Kelvar", kMbYesNoCancel | kMbIconQuestion), kIdNo);
  EXPECT_EQ(MessageBox("Again?", "Kelvar", kMbYesNo), kIdYes);  // script empty: first button
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text, "Save changes?");
  EXPECT_EQ(ui.boxes[0].flags, unsigned(kMbYesNoCancel | kMbIconQuestion));
  PostQuit(0);
  EXPECT_EQ(ui.quits, std::vector<int>{0});
  try {
    Exit(3);
    FAIL() << "Exit returned";
  } catch (const ProgramExit& e) {
    EXPECT_EQ(e.code, 3);
  }
}

TEST(Services, ScriptedServicesNestAndRestore) {
  ScriptedServices outer;
  {
    ScriptedServices inner;
    MessageBox("inner");
    EXPECT_EQ(inner.boxes.size(), 1u);
  }
  MessageBox("outer");
  EXPECT_EQ(outer.boxes.size(), 1u);
}

TEST(Trace, CaptureSeesOnlyWhatIsWrittenWhileItLives) {
  TraceWrite("before\n");
  TraceCapture cap;
  TraceWrite("one\n");
  TraceWrite("two\n");
  EXPECT_EQ(cap.lines(), (std::vector<std::string>{"one\n", "two\n"}));
  EXPECT_TRUE(cap.Contains("two"));
  EXPECT_FALSE(cap.Contains("before"));
  cap.Clear();
  EXPECT_TRUE(cap.text().empty());
}

TEST(Clock, FakeClockWrapsAndRestores) {
  {
    FakeClock clock(0xFFFFFFF0u);
    EXPECT_EQ(Milliseconds(), 0xFFFFFFF0u);
    clock.Advance(0x20);
    EXPECT_EQ(Milliseconds(), 0x10u);
  }
  std::uint32_t a = Milliseconds();
  std::uint32_t b = Milliseconds();
  EXPECT_LE(b - a, 1000u);  // the real clock is back and moves forward
}

}  // namespace
