#pragma once
// Outside programs that judge our files (ImageMagick, sox, assimp, ezdxf,
// and for the voice encoder's streams ffprobe, ffmpeg, mpg123, twolame and
// espeak-ng, whose speech stands in for a recording).
// On a developer's machine a test whose tool is missing skips; when CI is set
// in the environment the missing tool fails the test by name, so a lost
// install step cannot pass unseen. scripts/setup installs every one of them.
#include <string>

#include <gtest/gtest.h>

namespace testsupport {

struct ExternalTool {
  const char* name;     // as a developer knows it
  const char* probe;    // a shell command that succeeds only when the tool can run
  const char* package;  // what scripts/setup installs for it
};

inline constexpr ExternalTool kImageMagick{"ImageMagick", "convert -version && identify -version", "imagemagick"};
inline constexpr ExternalTool kSox{"sox", "sox --version && command -v soxi", "sox"};
inline constexpr ExternalTool kAssimp{"assimp", "command -v assimp", "assimp-utils"};
inline constexpr ExternalTool kFfmpeg{"ffmpeg", "ffmpeg -version", "ffmpeg"};
inline constexpr ExternalTool kFfprobe{"ffprobe", "ffprobe -version", "ffmpeg"};
inline constexpr ExternalTool kMpg123{"mpg123", "mpg123 --version", "mpg123"};
// twolame has no option that exits with success; being on the PATH is the check.
inline constexpr ExternalTool kTwolame{"twolame", "command -v twolame", "twolame"};
inline constexpr ExternalTool kEspeak{"espeak-ng", "espeak-ng --version", "espeak-ng"};
// The system python first: a pyenv shim may stand before it without the module.
inline constexpr ExternalTool kEzdxf{"ezdxf", "/usr/bin/python3 -c 'import ezdxf' || python3 -c 'import ezdxf'",
                                     "python3-ezdxf"};

// Whether the probe succeeds; asked once per probe and remembered.
bool HaveTool(const ExternalTool& tool);
// CI set to anything but "", "0" or "false".
bool InContinuousIntegration();
std::string MissingToolMessage(const ExternalTool& tool);

}  // namespace testsupport

// In a test or a fixture's SetUp: when the tool is missing, returns from it,
// failed under CI, skipped elsewhere.
#define REQUIRE_EXTERNAL_TOOL(tool)                                                                 \
  do {                                                                                              \
    if (!::testsupport::HaveTool(tool)) {                                                           \
      if (::testsupport::InContinuousIntegration()) FAIL() << ::testsupport::MissingToolMessage(tool); \
      GTEST_SKIP() << ::testsupport::MissingToolMessage(tool);                                      \
    }                                                                                               \
  } while (0)
