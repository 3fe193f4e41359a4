#pragma once
// Independent programs (ffprobe, ffmpeg, mpg123, twolame, sox) as judges of
// our output: a test that needs one skips when it is missing, except under
// CI, where a missing judge is a failure.
#include <string>

#include <gtest/gtest.h>

namespace testsupport {

bool ToolOnPath(const std::string& name);
// Runs a shell command; its standard output and error together in `output`. Returns the exit status.
int RunCommand(const std::string& command, std::string& output);
std::string ShellQuote(const std::string& text);

}  // namespace testsupport

#define REQUIRE_TOOL(name)                                                              \
  do {                                                                                  \
    if (!::testsupport::ToolOnPath(name)) {                                             \
      if (std::getenv("CI")) FAIL() << name << " is required under CI (scripts/setup)"; \
      GTEST_SKIP() << name << " is not installed";                                      \
    }                                                                                   \
  } while (0)
