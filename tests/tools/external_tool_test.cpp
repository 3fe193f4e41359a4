// The rule for outside tools: skip on a developer's machine, fail by name under CI.
#include "support/external_tool.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr testsupport::ExternalTool kNoSuchTool{"frobnicator", "command -v frobnicator-that-is-not-there", "frob-utils"};
constexpr testsupport::ExternalTool kShell{"sh", "true", "dash"};

// Sets CI for the life of the object and puts back what was there.
class CiVariable {
 public:
  explicit CiVariable(const char* value) {
    if (const char* old = std::getenv("CI")) saved_ = old;
    if (value) {
      setenv("CI", value, 1);
    } else {
      unsetenv("CI");
    }
  }
  ~CiVariable() {
    if (saved_) {
      setenv("CI", saved_->c_str(), 1);
    } else {
      unsetenv("CI");
    }
  }

 private:
  std::optional<std::string> saved_;
};

void RequireMissingTool() { REQUIRE_EXTERNAL_TOOL(kNoSuchTool); }

TEST(ExternalTool, ProbesSayWhetherAToolRuns) {
  EXPECT_TRUE(testsupport::HaveTool(kShell));
  EXPECT_FALSE(testsupport::HaveTool(kNoSuchTool));
  EXPECT_FALSE(testsupport::HaveTool(kNoSuchTool));  // remembered, same answer
}

TEST(ExternalTool, WhatCountsAsContinuousIntegration) {
  const struct {
    const char* value;
    bool ci;
  } cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"false", false}, {"true", true}, {"1", true}, {"yes", true}};
  for (const auto& c : cases) {
    CiVariable ci(c.value);
    EXPECT_EQ(testsupport::InContinuousIntegration(), c.ci) << (c.value ? c.value : "(unset)");
  }
}

// What a test that needs the missing tool reports, caught before it reaches the run.
void Outcome(testing::TestPartResultArray& results) {
  testing::ScopedFakeTestPartResultReporter reporter(
      testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
  RequireMissingTool();
}

TEST(ExternalTool, AMissingToolFailsByNameUnderCi) {
  CiVariable ci("true");
  testing::TestPartResultArray results;
  Outcome(results);
  ASSERT_EQ(results.size(), 1);
  EXPECT_TRUE(results.GetTestPartResult(0).fatally_failed());
  EXPECT_NE(std::string(results.GetTestPartResult(0).message())
                .find("frobnicator is not installed (scripts/setup installs frob-utils)"),
            std::string::npos);
}

TEST(ExternalTool, AMissingToolOnlySkipsElsewhere) {
  CiVariable ci(nullptr);
  testing::TestPartResultArray results;
  Outcome(results);
  ASSERT_EQ(results.size(), 1);
  EXPECT_TRUE(results.GetTestPartResult(0).skipped());
  EXPECT_FALSE(results.GetTestPartResult(0).failed());
  EXPECT_EQ(std::string(results.GetTestPartResult(0).message()),
            "frobnicator is not installed (scripts/setup installs frob-utils)");
}

TEST(ExternalTool, APresentToolLetsTheTestRun) {
  CiVariable ci("true");
  testing::TestPartResultArray results;
  {
    testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    [] { REQUIRE_EXTERNAL_TOOL(kShell); }();
  }
  EXPECT_EQ(results.size(), 0);
}

}  // namespace
