// demodata <start directory>: writes a demo start directory of our own
// content, for running and trying the programs.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "tools/demodata/demo_content.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sound_bank.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demodata <start directory>\n");
    return 2;
  }
  const std::string dir = argv[1];
  platform::CreateDirectory(dir);
  if (!platform::IsDirectory(dir) || !platform::ChangeDirectory(dir)) {
    std::fprintf(stderr, "demodata: cannot use %s as the start directory\n", dir.c_str());
    return 1;
  }
  platform::SetStartDirectory(platform::CurrentDirectory());
  try {
    DemoOutput out;
    AddEditorDemo(out);
    AddSoundBank(out);
    out.Finish();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demodata: %s\n", e.what());
    return 1;
  }
  std::printf("demodata: wrote %s\n", platform::StartDirectory().c_str());
  return 0;
}
