#include "quest/monster_class_skeleton.h"

#include <cstdio>

#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"

std::string MonsterClassSkeleton(const CMonsterClass& monsterClass) {
  const std::string name(FieldText(monsterClass.skeleton));
  if (name.empty() || platform::EqualsNoCase(name, "moine")) return "MULTIPNJ";
  char path[256];
  std::snprintf(path, sizeof path, "data\\skeletons\\%s\\%s.ska", name.c_str(), name.c_str());
  MtfFilePtr file(MtfOpen(path, "rb"));
  return file ? name : "MULTIPNJ";
}
