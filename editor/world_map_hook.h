#pragma once
// What the world-map graph asks of the views: the current mode's view
// rectangle, the map's stored click point, and the room view's tooltips of
// machine instances. The application installs it as the quest's view.
#include "quest/quest_lists.h"

namespace kelvar {

class WorldMapHook : public IWorldMapView {
 public:
  bool GetViewRect(MapRect& rect) override;
  bool TakeClickPoint(int& x, int& y) override;
  void AddInstanceTooltip(const ElementInstance* instance, std::string_view text) override;
  void RemoveInstanceTooltip(const ElementInstance* instance) override;
  void MoveInstanceTooltip(const ElementInstance* instance, const MapRect& client) override;
};

// The program's one hook.
WorldMapHook& TheWorldMapHook();

}  // namespace kelvar
