#pragma once
// The skeleton a monster class is drawn with, in the room and in previews.
#include <string>

struct CMonsterClass;

// The class's own skeleton, unless it is "moine" (any case) or its file
// "data\skeletons\<name>\<name>.ska" cannot be opened: then "MULTIPNJ".
std::string MonsterClassSkeleton(const CMonsterClass& monsterClass);
