#pragma once
// One skeleton as its four files give it: skins, body parts, models and
// animations.
#include "render/anim_bank.h"
#include "render/mbr_list.h"
#include "render/mdl_list.h"
#include "render/ska_list.h"
#include "render/skeleton_file.h"

struct CSkeleton {
  CSkaList skins;
  CMbrList parts;
  CMdlList models;
  CAnimBank animations;
  int loaded = 0;
  char name[kSkeletonNameSize] = {};

  void Clear() {
    skins.Clear();
    parts.Clear();
    models.Clear();
    animations.Free();
    loaded = 0;
    name[0] = '\0';
  }
};
