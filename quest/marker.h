#pragma once
// A named marker on the world map.
#include <string_view>

#include "quest/quest_list.h"

struct Marker {
  // Takes the name (at most 31 characters) and the world-map view's origin.
  void Init(std::string_view markerName);

  Marker* next = nullptr;
  char name[32] = {};
  int x = 0;
  int y = 0;
};

Marker* NewMarker(Marker*& head);
