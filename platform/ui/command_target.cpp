#include "platform/ui/command_target.h"

namespace platform::ui {

void CommandTarget::OnCommand(int id, Handler handler) { handlers_[id] = std::move(handler); }

void CommandTarget::OnCommandRange(int first, int last, RangeHandler handler) {
  ranges_.push_back({first, last, std::move(handler)});
}

void CommandTarget::OnUpdate(int id, UpdateRule rule) { rules_[id] = std::move(rule); }

void CommandTarget::OnUpdateRange(int first, int last, UpdateRule rule) {
  ruleRanges_.push_back({first, last, std::move(rule)});
}

bool CommandTarget::HandlesCommand(int id) const {
  if (handlers_.count(id)) return true;
  for (const Range& r : ranges_)
    if (id >= r.first && id <= r.last) return true;
  return false;
}

bool CommandTarget::HasUpdateRule(int id) const {
  if (rules_.count(id)) return true;
  for (const RuleRange& r : ruleRanges_)
    if (id >= r.first && id <= r.last) return true;
  return false;
}

bool CommandTarget::ExecuteCommand(int id) {
  // Copy first: a handler may replace its own table entry or end its target's life.
  if (auto it = handlers_.find(id); it != handlers_.end()) {
    Handler h = it->second;
    h();
    return true;
  }
  for (const Range& r : ranges_) {
    if (id >= r.first && id <= r.last) {
      RangeHandler h = r.handler;
      h(id);
      return true;
    }
  }
  return false;
}

bool CommandTarget::UpdateCommand(CommandState& state) const {
  if (auto it = rules_.find(state.id); it != rules_.end()) {
    it->second(state);
    return true;
  }
  for (const RuleRange& r : ruleRanges_) {
    if (state.id >= r.first && state.id <= r.last) {
      r.rule(state);
      return true;
    }
  }
  return false;
}

CommandState QueryCommand(const std::vector<CommandTarget*>& route, int id) {
  bool handled = false;
  for (CommandTarget* t : route)
    if (t && t->HandlesCommand(id)) handled = true;
  CommandState state(id, handled);
  for (CommandTarget* t : route)
    if (t && t->UpdateCommand(state)) break;
  return state;
}

bool DispatchCommand(const std::vector<CommandTarget*>& route, int id) {
  if (!QueryCommand(route, id).enabled) return false;
  for (CommandTarget* t : route)
    if (t && t->ExecuteCommand(id)) return true;
  return false;
}

}  // namespace platform::ui
