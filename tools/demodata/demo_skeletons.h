#pragma once
// The demo's skeletons, all our own: a humanoid for "multipnj" and the orc,
// a four-legged one for the wolf, each standing and walking; and the
// monster classes of the demo quest that use them ("data\monsterclass.dat").
#include <string>
#include <vector>

class DemoOutput;
class SkeletonBuilder;

struct DemoSkeleton {
  std::string name;
  bool fourLegged;
};

const std::vector<DemoSkeleton>& DemoSkeletons();
// The skeleton's files, as they are stored under "data\skeletons\<name>\".
SkeletonBuilder BuildDemoSkeleton(const DemoSkeleton& skeleton);
// "data\skeletons\<name>\<name>.<extension>"
std::string DemoSkeletonPath(const std::string& name, const char* extension);
// The monster-class table: version-1 rows, one a demo monster class.
std::vector<std::uint8_t> DemoMonsterClasses();

void AddDemoSkeletons(DemoOutput& out);
