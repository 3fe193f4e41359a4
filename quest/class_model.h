#pragma once
// Skinned models of monster classes and skeletons as the map and the room
// show them: built from the skeleton bank and posed with the "static"
// animation.
#include <memory>
#include <string>
#include <string_view>

class CSkinnedModel;
struct CMonsterClass;

// The skeleton a class is drawn with: its own, unless it is "moine" or its
// file does not open, in which case "MULTIPNJ".
std::string ClassSkeletonName(const CMonsterClass& monsterClass);

// True when "data\skeletons\<name>\<name>.ska" opens.
bool SkeletonFileExists(std::string_view name);

struct PosedModel {
  std::shared_ptr<CSkinnedModel> model;
  float footLift = 0.0f;  // how far the posed model reaches below its origin
};

// A model of the bank's skeleton of that name, posed for the class (none:
// "static" of the skeleton itself); no model when the skeleton cannot be had.
// `justLoaded` tells whether the bank read the skeleton for this call.
PosedModel BuildPosedModel(std::string_view skeleton, const CMonsterClass* monsterClass, float time,
                           bool* justLoaded = nullptr);
