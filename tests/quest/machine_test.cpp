#include "quest/machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quest_fixture.h"

namespace {

using questtest::QuestTest;

constexpr const char* kDoor =
    "STATE_MACHINE { KEY { door }"
    "  PARAM { KEY { 1 } TYPE { FRAME } DISPLAY {} DEFAULT [door.o3d] }"
    "  PARAM { KEY { 2 } TYPE { INT } DEFAULT { 5 } }"
    "  PARAM { KEY { 3 } TYPE { OBJECT } }"
    "  PARAM { KEY { 4 } TYPE { BOGUS } } }";

std::vector<int> Numbers(const CMachine& m) {
  std::vector<int> numbers;
  for (const CMachineParam* v = m.params; v; v = v->next) numbers.push_back(v->number);
  return numbers;
}

// Values as a quest file gives them: typed, numbered, not yet bound.
CMachineParam* AddLoadedValue(CMachine& m, int type, int number, std::string_view text) {
  CMachineParam* value = NewMachineParam(type).release();
  value->number = number;
  value->SetText(text);
  PushHead(m.params, value);
  ++m.paramCount;
  return value;
}

class MachineTest : public QuestTest {
 protected:
  CMachine* Loaded(std::string_view typeKey) {
    CMachine* m = PushHead(Quest().machines, new CMachine);
    m->kind = kMachineStateMachine;
    SetField(m->name, "m1");
    SetField(m->typeKey, typeKey);
    return m;
  }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& b : ui.boxes) texts.push_back(b.text);
    return texts;
  }
};

TEST_F(MachineTest, InitCreatesOneValuePerTypedParameter) {
  Define(kDoor);
  CMachine* m = CreateMachine(Quest().machines, kMachineStateMachine, "DOOR", "gate");
  EXPECT_EQ(Quest().machines, m);
  EXPECT_STREQ(m->name, "gate");
  EXPECT_STREQ(m->typeKey, "DOOR");
  // Definition order is 4, 3, 2, 1 (newest first); values are pushed at the head.
  EXPECT_EQ(Numbers(*m), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(m->paramCount, 3) << "the untyped parameter gets no value and is not counted";
  EXPECT_EQ(m->FindParam(1)->GetText(), "door.o3d");
  EXPECT_EQ(m->FindParam(2)->GetText(), "5");
  EXPECT_EQ(m->FindParam(3)->GetText(), "");
  EXPECT_EQ(m->FindParam(4), nullptr);
  for (const CMachineParam* v = m->params; v; v = v->next) {
    ASSERT_NE(v->def, nullptr);
    EXPECT_EQ(v->def->number, v->number);
  }
  EXPECT_TRUE(m->FindParam(1)->IsDisplayed());
}

TEST_F(MachineTest, InitWithoutDefinitionOrOfAnotherKind) {
  Define(kDoor);
  CMachine* unknown = CreateMachine(Quest().machines, kMachineStateMachine, "window", "w");
  EXPECT_EQ(unknown->params, nullptr);
  EXPECT_EQ(unknown->paramCount, 0);
  CMachine* other = CreateMachine(Quest().machines, 2, "door", "d");
  EXPECT_EQ(other->params, nullptr);
  EXPECT_EQ(other->CheckAgainstLibrary(), 0);
  EXPECT_TRUE(ui.boxes.empty());
  // Names are cut to their fields.
  CMachine* longName = CreateMachine(Quest().machines, 2, std::string(90, 't'), std::string(90, 'n'));
  EXPECT_EQ(std::string(longName->name), std::string(79, 'n'));
  EXPECT_EQ(std::string(longName->typeKey), std::string(79, 't'));
}

TEST_F(MachineTest, ParameterMissingFromTheDefinitionIsDeletedOnce) {
  Define("STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } } PARAM { KEY { 2 } TYPE { INT } } }");
  CMachine* m = Loaded("door");
  AddLoadedValue(*m, kParamFrame, 1, "a");
  AddLoadedValue(*m, kParamObject, 3, "key");
  AddLoadedValue(*m, kParamInt, 2, "7");
  EXPECT_EQ(m->CheckAgainstLibrary(), 1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                            "Error in m1! Parameter 3 not found in machine door. Kelvr has deleted this parameter."});
  EXPECT_EQ(m->FindParam(3), nullptr);
  EXPECT_EQ(Numbers(*m), (std::vector<int>{2, 1}));
  EXPECT_EQ(m->paramCount, 2);
  EXPECT_EQ(m->FindParam(2)->GetText(), "7") << "values that fit are kept";

  ui.boxes.clear();
  EXPECT_EQ(m->CheckAgainstLibrary(), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MachineTest, RetypedParameterComesBackWithItsDefault) {
  Define("STATE_MACHINE { KEY { door } PARAM { KEY { 2 } TYPE { INT } DEFAULT { 5 } } }");
  CMachine* m = Loaded("door");
  AddLoadedValue(*m, kParamObject, 2, "key");
  EXPECT_EQ(m->CheckAgainstLibrary(), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error in m1! Parameter 2 of machine door has a new type. "
                                                 "Kelvr has reseted it to default."});
  ASSERT_NE(m->FindParam(2), nullptr);
  EXPECT_EQ(m->FindParam(2)->type, kParamInt);
  EXPECT_EQ(m->FindParam(2)->GetText(), "5");
  EXPECT_EQ(m->paramCount, 1);
}

TEST_F(MachineTest, ParameterAddedToTheDefinitionIsCreatedSilently) {
  Define("STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } } "
         "PARAM { KEY { 9 } TYPE { SOUND } DEFAULT [creak.wav] } }");
  CMachine* m = Loaded("door");
  AddLoadedValue(*m, kParamFrame, 1, "a");
  EXPECT_EQ(m->CheckAgainstLibrary(), 0);
  EXPECT_TRUE(ui.boxes.empty());
  ASSERT_NE(m->FindParam(9), nullptr);
  EXPECT_EQ(m->FindParam(9)->GetText(), "creak.wav");
  EXPECT_EQ(m->params, m->FindParam(9)) << "pushed at the head";
  EXPECT_EQ(m->paramCount, 2);
}

TEST_F(MachineTest, UnknownDefinitionKeepsValuesAndWarnsOnEveryCheck) {
  Define(kDoor);
  CMachine* m = Loaded("ghost");
  AddLoadedValue(*m, kParamFrame, 1, "a");
  AddLoadedValue(*m, kParamInt, 2, "3");
  for (int load = 0; load < 2; ++load) {
    EXPECT_EQ(m->CheckAgainstLibrary(), 0);
  }
  const std::string text = "Error! Machine ghost not found. You should erase m1 before continuing.";
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{text, text}));
  EXPECT_EQ(Numbers(*m), (std::vector<int>{2, 1}));
  EXPECT_EQ(m->paramCount, 2);
  EXPECT_EQ(m->FindParam(1)->def, nullptr);
}

TEST_F(MachineTest, InstancesAreNamedByAGrowingCounter) {
  Define(kDoor);
  CMachine* m = CreateMachine(Quest().machines, kMachineStateMachine, "door", "gate");
  ElementInstance* first = m->AddInstance("", 0, 0, nullptr);
  ElementInstance* second = m->AddInstance("second", 4, 5, "lever:lever_0");
  m->AddInstance("", 0, 0, nullptr);
  EXPECT_STREQ(first->name, "gate_0");
  EXPECT_STREQ(second->name, "gate_1");
  EXPECT_STREQ(second->name2, "second");
  EXPECT_EQ(second->value1, 4);
  EXPECT_EQ(second->value2, 5);
  EXPECT_STREQ(second->links[0], "lever:lever_0");
  EXPECT_STREQ(second->links[1], "");
  EXPECT_STREQ(m->instances->name, "gate_2") << "newest first";

  m->DeleteInstance("GATE_1");
  m->DeleteInstance("gate_9");  // unknown: nothing
  EXPECT_EQ(m->FindInstance("gate_1"), nullptr);
  EXPECT_EQ(ListLength(m->instances), 2u);
  EXPECT_STREQ(m->AddInstance("", 0, 0, nullptr)->name, "gate_3");
  EXPECT_EQ(m->instanceCounter, 4);
  EXPECT_EQ(FindMachineNamed(Quest().machines, "GATE"), m);
}

TEST_F(MachineTest, LinkTextGoesIntoTheFirstEmptySlot) {
  ElementInstance instance;
  SetField(instance.links[0], "a:a_0");
  SetField(instance.links[2], "c:c_0");
  EXPECT_TRUE(instance.AddLink("b:b_0"));
  EXPECT_STREQ(instance.links[1], "b:b_0");
  for (int i = 3; i < 8; ++i) EXPECT_TRUE(instance.AddLink("x:x_0"));
  EXPECT_FALSE(instance.AddLink("full:full_0"));
}

}  // namespace
