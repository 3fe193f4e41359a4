#pragma once
// Command handlers and update rules keyed by numeric command id.
//
// Frames, views, documents and the application each hold a table; the frame
// walks them in routing order (see FrameWindow::CommandRoute).
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform::ui {

// What an update rule decides for one command before a menu, toolbar button
// or accelerator uses it. Starts enabled when some target handles the command.
struct CommandState {
  explicit CommandState(int commandId, bool enabledByDefault = false)
      : id(commandId), enabled(enabledByDefault) {}
  void Enable(bool on = true) { enabled = on; }
  void SetCheck(bool on = true) { checked = on; }
  void SetRadio(bool on = true) { radio = on; }

  int id;
  bool enabled;
  bool checked = false;
  bool radio = false;
};

class CommandTarget {
 public:
  using Handler = std::function<void()>;
  using RangeHandler = std::function<void(int id)>;
  using UpdateRule = std::function<void(CommandState&)>;

  CommandTarget() = default;
  virtual ~CommandTarget() = default;
  CommandTarget(const CommandTarget&) = delete;
  CommandTarget& operator=(const CommandTarget&) = delete;

  void OnCommand(int id, Handler handler);
  void OnCommandRange(int first, int last, RangeHandler handler);
  void OnUpdate(int id, UpdateRule rule);
  void OnUpdateRange(int first, int last, UpdateRule rule);

  bool HandlesCommand(int id) const;
  bool HasUpdateRule(int id) const;
  // Runs the handler; false when this target has none.
  bool ExecuteCommand(int id);
  // Runs the update rule; false when this target has none.
  bool UpdateCommand(CommandState& state) const;

 private:
  struct Range {
    int first, last;
    RangeHandler handler;
  };
  struct RuleRange {
    int first, last;
    UpdateRule rule;
  };
  std::map<int, Handler> handlers_;
  std::vector<Range> ranges_;
  std::map<int, UpdateRule> rules_;
  std::vector<RuleRange> ruleRanges_;
};

// Routing over an ordered list of targets (null entries are skipped).
// The first target with a handler runs the command; the first with an update
// rule decides its state. A command nobody handles is disabled.
CommandState QueryCommand(const std::vector<CommandTarget*>& route, int id);
// Runs the command only when its update rule leaves it enabled. True when it ran.
bool DispatchCommand(const std::vector<CommandTarget*>& route, int id);

}  // namespace platform::ui
