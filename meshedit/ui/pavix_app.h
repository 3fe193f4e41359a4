#pragma once
// Pavix's application object: start-up in a fixed order (the display
// library's version, the start directory, the texture search paths, the
// data archive, the camera, the profile, the document template, the command
// line, the main window), the idle pass that draws the view's frame, About,
// and shut-down.
#include <string>
#include <vector>

#include "platform/ui/application.h"

namespace pavix {

inline constexpr const char* kProfileKey = "Vesk";
inline constexpr int kRecentFiles = 8;
inline constexpr std::uint32_t kNeededDisplayVersion = 0x600;

class CPavixApp : public platform::ui::Application {
 public:
  CPavixApp();
  ~CPavixApp() override;

  void SetCommandLine(std::vector<std::string> args) { args_ = std::move(args); }

  bool InitInstance() override;
  int ExitInstance() override;
  // After each idle pass that asks for more, the view draws its frame if it wants one.
  bool OnIdle(int count) override;
  void OnAppAbout();

 private:
  std::vector<std::string> args_;
};

}  // namespace pavix
