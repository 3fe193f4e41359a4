#include "quest/monster.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "quest/fixed_field.h"
#include "quest/quest_lists.h"
#include "quest_fixture.h"

namespace {

using questtest::QuestTest;

class MonsterLookup : public QuestTest {};

TEST_F(MonsterLookup, KeyIndexFindsWhatTheListWalkFinds) {
  QuestState& q = Quest();
  // In list order: Grunt, boss, GRUNT (a second monster of the same key ignoring case).
  for (const char* key : {"GRUNT", "boss", "Grunt"}) SetField(NewMonster(q.monsters)->key, key);
  const std::string longKey(79, 'x');
  SetField(NewMonster(q.monsters)->key, longKey);

  const std::string names[] = {"grunt", "GRUNT", "Boss", "bos", "", "dragon", longKey, longKey + "x"};
  std::vector<const CMonster*> walked;
  for (const std::string& name : names) walked.push_back(FindMonster(q.monsters, name));
  EXPECT_STREQ(walked[0]->key, "Grunt") << "the first of the list";
  EXPECT_STREQ(walked[2]->key, "boss");
  EXPECT_EQ(walked[3], nullptr);
  EXPECT_EQ(walked[5], nullptr);
  EXPECT_EQ(walked[7], nullptr);
  {
    const MonsterKeyIndex index;
    const MonsterKeyIndex nested;  // an inner one changes nothing
    for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(FindMonster(q.monsters, names[i]), walked[i]) << names[i];
  }
  // Gone with the index: a monster added afterwards is found again.
  CMonster* dragon = NewMonster(q.monsters);
  SetField(dragon->key, "dragon");
  EXPECT_EQ(FindMonster(q.monsters, "Dragon"), dragon);
}

}  // namespace
