#include "quest/marker.h"

#include "quest/fixed_field.h"
#include "quest/quest_lists.h"

void Marker::Init(std::string_view markerName) {
  SetField(name, markerName);
  x = Quest().mapView.left;
  y = Quest().mapView.top;
}

Marker* NewMarker(Marker*& head) { return PushHead(head, new Marker); }
