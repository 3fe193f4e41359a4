#include "datafiles/common/debug_trace.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/core/trace.h"

namespace {

TEST(DebugTrace, FormatsOneMessageACall) {
  platform::TraceCapture trace;
  DebugTrace("ERROR OPENING %s in %d\n", "qsp1.mtf", 3);
  DebugTrace("second\n");
  EXPECT_EQ(trace.lines(), (std::vector<std::string>{"ERROR OPENING qsp1.mtf in 3\n", "second\n"}));
}

TEST(DebugTrace, CutsLongTextsAt499Characters) {
  platform::TraceCapture trace;
  const std::string longText(800, 'x');
  DebugTrace("%s", longText.c_str());
  ASSERT_EQ(trace.lines().size(), 1u);
  EXPECT_EQ(trace.lines()[0], std::string(499, 'x'));
}

}  // namespace
