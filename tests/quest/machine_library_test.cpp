#include "quest/machine_library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/services.h"
#include "support/temp_dir.h"

namespace {

class MachineLibraryTest : public ::testing::Test {
 protected:
  void Parse(std::string_view text, std::string_view path = "test.qsm") {
    library.SetText(path, text);
    library.ParseBlock("", false);
    library.FreeBuffer();
  }
  std::vector<int> ParamNumbers(const MachineDef* def) {
    std::vector<int> numbers;
    for (const MachineParamDef* p = def->params; p; p = p->next) numbers.push_back(p->number);
    return numbers;
  }

  platform::ScriptedServices ui;
  GenericDef* generics = nullptr;
  CMachineLibrary library{generics};
};

TEST_F(MachineLibraryTest, ParsesTheDefinitionExample) {
  Parse("STATE_MACHINE { KEY { door } PARAM { KEY { 1 } TYPE { FRAME } } CODE [ open %1 ] }");
  const MachineDef* def = library.FindMachine("DOOR");
  ASSERT_NE(def, nullptr);
  EXPECT_STREQ(def->key, "door");
  EXPECT_EQ(def->paramCount, 1);
  ASSERT_NE(def->params, nullptr);
  EXPECT_EQ(def->params->number, 1);
  EXPECT_EQ(def->params->type, kParamFrame);
  EXPECT_EQ(def->code, " open %1 ");
  EXPECT_EQ(def->codeLength, 9);
  EXPECT_FALSE(def->comment.has_value());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MachineLibraryTest, BraceValuesLoseBlanksBracketValuesKeepThem) {
  Parse("STATE_MACHINE {\r\n\tKEY { my door }\n COMMENT [ my door ] }");
  const MachineDef* def = library.FindMachine("mydoor");
  ASSERT_NE(def, nullptr);
  ASSERT_TRUE(def->comment.has_value());
  EXPECT_EQ(*def->comment, " my door ");
}

TEST_F(MachineLibraryTest, StoresEveryParameterKey) {
  Parse(
      "STATE_MACHINE { KEY { chest }"
      "  PARAM { KEY { 7 } TYPE { skelName } DISPLAY {} IN {} COMMENT [ the model ] DEFAULT [ box ] }"
      "  PARAM { KEY { 8 } TYPE { LIST } OUT {} LIST [1=One] LIST [2=Second choice] DEFAULT {} }"
      "  PARAM { KEY { 9 } TYPE { WHATEVER } }"
      "  COMMENT [ A chest ] }");
  const MachineDef* def = library.FindMachine("chest");
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(ParamNumbers(def), (std::vector<int>{9, 8, 7}));
  EXPECT_EQ(def->paramCount, 3);

  const MachineParamDef* model = def->FindParam(7);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->type, kParamSkelName);
  EXPECT_EQ(model->display, 1);
  EXPECT_EQ(model->flags, kParamFlagIn);
  EXPECT_EQ(model->comment.value_or("?"), " the model ");
  EXPECT_EQ(model->defaultText.value_or("?"), " box ");

  const MachineParamDef* list = def->FindParam(8);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->type, kParamList);
  EXPECT_EQ(list->display, 0);
  EXPECT_EQ(list->flags, kParamFlagOut);
  ASSERT_TRUE(list->defaultText.has_value());  // an empty default is still a default
  EXPECT_EQ(*list->defaultText, "");
  EXPECT_FALSE(list->comment.has_value());
  ASSERT_NE(list->choices, nullptr);
  EXPECT_STREQ(list->choices->key, "2");  // newest first
  EXPECT_STREQ(list->choices->label, "Second choice");
  ASSERT_NE(list->choices->next, nullptr);
  EXPECT_STREQ(list->choices->next->key, "1");
  EXPECT_STREQ(list->choices->next->label, "One");

  EXPECT_EQ(def->FindParam(9)->type, kParamNone);
  EXPECT_EQ(*def->comment, " A chest ");
}

TEST_F(MachineLibraryTest, ListChoiceInBracesLosesBlanks) {
  Parse("STATE_MACHINE { KEY { a } PARAM { KEY { 1 } LIST { 2=Second choice } } }");
  const MachineParamDef* p = library.FindMachine("a")->params;
  EXPECT_STREQ(p->choices->key, "2");
  EXPECT_STREQ(p->choices->label, "Secondchoice");
}

struct ChoiceCase {
  const char* value;
  const char* key;
  const char* label;
};

class ChoiceSplit : public MachineLibraryTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(ChoiceSplit, SplitsAtEqualSigns) {
  const ChoiceCase& c = GetParam();
  Parse(std::string("STATE_MACHINE { KEY { a } PARAM { LIST [") + c.value + "] } }");
  const ParamChoice* choice = library.FindMachine("a")->params->choices;
  ASSERT_NE(choice, nullptr);
  EXPECT_STREQ(choice->key, c.key);
  EXPECT_STREQ(choice->label, c.label);
  EXPECT_EQ(choice->next, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Values, ChoiceSplit,
                         ::testing::Values(ChoiceCase{"1=One", "1", "One"},
                                           ChoiceCase{"=1==One=", "1", "One"},
                                           ChoiceCase{"1=One=Extra", "1", "One"},
                                           ChoiceCase{"solo", "solo", ""},
                                           ChoiceCase{"", "", ""},
                                           ChoiceCase{"=", "", ""}),
                         [](const ::testing::TestParamInfo<ChoiceCase>& param) {
                           return "Case" + std::to_string(param.index);
                         });

TEST_F(MachineLibraryTest, TwoDefinitionsFoundWhateverTheirOrder) {
  Parse("STATE_MACHINE { KEY { first } PARAM { KEY { 1 } } PARAM { KEY { 2 } } }"
        "STATE_MACHINE { KEY { second } PARAM { KEY { 3 } } }");
  ASSERT_NE(library.FindMachine("First"), nullptr);
  ASSERT_NE(library.FindMachine("SECOND"), nullptr);
  EXPECT_STREQ(library.machines()->key, "second");  // newest at the head
  EXPECT_EQ(ParamNumbers(library.FindMachine("first")), (std::vector<int>{2, 1}));
  EXPECT_EQ(library.FindMachine("third"), nullptr);
}

TEST_F(MachineLibraryTest, ValuesWithoutADefinitionAreIgnored) {
  Parse("KEY { stray } PARAM { KEY { 1 } } STATE_MACHINE_KEY { x } GENERIC_DATA { 1,2 }");
  EXPECT_EQ(library.machines(), nullptr);
  EXPECT_EQ(generics, nullptr);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MachineLibraryTest, CommentsAreSkipped) {
  Parse("/* head */STATE_MACHINE { KEY { do/* inside */or } /* tail\n*/ COMMENT [a/*x*/b] }");
  const MachineDef* def = library.FindMachine("door");
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def->comment.value_or("?"), "ab");
}

TEST_F(MachineLibraryTest, CharacterAfterACommentIsNotTestedForAnother) {
  // The "/" right after the first comment is kept, so "/*" there is text.
  Parse("STATE_MACHINE { KEY { a } COMMENT [/* one *//* two */] }");
  EXPECT_EQ(library.FindMachine("a")->comment.value_or("?"), "/* two */");
}

TEST_F(MachineLibraryTest, UnclosedCommentEndsTheText) {
  Parse("STATE_MACHINE { KEY { a } } /* never closed STATE_MACHINE { KEY { b } }");
  EXPECT_NE(library.FindMachine("a"), nullptr);
  EXPECT_EQ(library.FindMachine("b"), nullptr);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MachineLibraryTest, NestedCommentShowsTheParseErrorAndQuits) {
  Parse("STATE_MACHINE { KEY { a } } /* outer /* inner */ */ STATE_MACHINE { KEY { b } }",
        "rozizuzi\\stateMachine\\bad.qsm");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error processing Quest file rozizuzi\\stateMachine\\bad.qsm.");
  EXPECT_EQ(ui.boxes[0].caption, "Quest Parse Error");
  EXPECT_EQ(ui.quits, std::vector<int>{0});
  EXPECT_NE(library.FindMachine("a"), nullptr);
  EXPECT_EQ(library.FindMachine("b"), nullptr);  // the parse ended there
}

TEST_F(MachineLibraryTest, TokenOf8191CharactersIsAccepted) {
  const std::string code(8191, 'x');
  Parse("STATE_MACHINE { KEY { a } CODE [" + code + "] }");
  ASSERT_NE(library.FindMachine("a"), nullptr);
  EXPECT_EQ(library.FindMachine("a")->codeLength, 8191);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MachineLibraryTest, TokenOf8192CharactersEndsTheProgram) {
  const std::string code(8192, 'x');
  try {
    Parse("STATE_MACHINE { KEY { a } CODE [" + code + "] }", "long.qsm");
    FAIL() << "the parse went on";
  } catch (const platform::ProgramExit& e) {
    EXPECT_EQ(e.code, 0);
  }
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error processing Quest file long.qsm.");
  EXPECT_EQ(ui.boxes[0].caption, "Quest Parse Error");
}

TEST_F(MachineLibraryTest, NestingDeeperThanTheLimitIsAParseError) {
  std::string text = "STATE_MACHINE { KEY { a } ";
  for (int i = 0; i < 200; ++i) text += "[";
  text += "} STATE_MACHINE { KEY { b } }";
  Parse(text);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].caption, "Quest Parse Error");
  EXPECT_EQ(ui.quits, std::vector<int>{0});
  EXPECT_EQ(library.FindMachine("b"), nullptr);
}

TEST_F(MachineLibraryTest, NestingAtTheLimitIsAccepted) {
  std::string text = "STATE_MACHINE { KEY { a } CODE ";
  const int inner = CMachineLibrary::kMaxDepth - 1;  // STATE_MACHINE is the first level
  for (int i = 0; i < inner; ++i) text += "[";
  for (int i = 0; i < inner; ++i) text += "]";
  text += " COMMENT [ ok ] }";
  Parse(text);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(library.FindMachine("a")->comment.value_or("?"), " ok ");
}

TEST_F(MachineLibraryTest, OverlongKeyIsAParseError) {
  // Each level adds a token of 8000 characters to the key.
  const std::string token(8000, 'k');
  Parse("STATE_MACHINE { " + token + " [ " + token + " [ x ] ] }");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error processing Quest file test.qsm.");
  EXPECT_EQ(ui.quits, std::vector<int>{0});
}

TEST_F(MachineLibraryTest, TypeWordsIgnoreCase) {
  const char* words[] = {"frame", "Object", "SOUND", "int", "alpha", "SkelFile",
                         "skelname", "skelanim", "effect", "monster", "text", "list"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(ParamTypeFromWord(words[i]), i + 1) << words[i];
  EXPECT_EQ(ParamTypeFromWord("FRAMES"), kParamNone);
  EXPECT_EQ(ParamTypeFromWord(""), kParamNone);
}

TEST_F(MachineLibraryTest, GenericDefinitions) {
  Parse("GENERIC { KEY { spikes } TYPE { 4 } MESH [ data\\spikes.o3d ] EDIT {} LABEL [ Spikes ] "
        "DATA { 0,10 } DATA { 7,-3 } }"
        "GENERIC { KEY { door } TYPE { 2 } INDEX { 9 } }");
  ASSERT_NE(generics, nullptr);
  const GenericDef* door = generics;
  const GenericDef* spikes = generics->next;
  ASSERT_NE(spikes, nullptr);
  EXPECT_STREQ(door->key, "door");
  EXPECT_EQ(door->type, 2);
  EXPECT_EQ(door->index, 9);
  EXPECT_STREQ(spikes->key, "spikes");
  EXPECT_EQ(spikes->type, 4);
  EXPECT_EQ(spikes->index, 4);  // TYPE sets the index too
  EXPECT_EQ(spikes->mesh.value_or("?"), " data\\spikes.o3d ");
  EXPECT_EQ(spikes->editable, 1);
  EXPECT_STREQ(spikes->label, " Spikes ");
  EXPECT_EQ(spikes->data[0], 10);
  EXPECT_EQ(spikes->data[7], -3);
  for (int i = 1; i < 7; ++i) EXPECT_EQ(spikes->data[i], -1);
}

TEST_F(MachineLibraryTest, GenericDataNeedsBothNumbersInRange) {
  Parse("GENERIC { DATA { 9,5 } DATA { -1,5 } DATA { 3 } DATA { 4, } DATA { 2,x } DATA { 1,6 } }");
  ASSERT_NE(generics, nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(generics->data[i], i == 1 ? 6 : -1) << i;
}

TEST_F(MachineLibraryTest, FixedFieldsAreCut) {
  const std::string longKey(100, 'k');
  Parse("STATE_MACHINE { KEY {" + longKey + "} } GENERIC { LABEL [" + std::string(40, 'l') + "] }");
  EXPECT_EQ(std::string(library.machines()->key), std::string(79, 'k'));
  EXPECT_EQ(std::string(generics->label), std::string(31, 'l'));
}

TEST_F(MachineLibraryTest, ParameterNumberKeepsZeroWithoutDigits) {
  Parse("STATE_MACHINE { KEY { a } PARAM { KEY { x } } PARAM { KEY { -12abc } } }");
  EXPECT_EQ(ParamNumbers(library.FindMachine("a")), (std::vector<int>{-12, 0}));
}

TEST_F(MachineLibraryTest, EmptyTextParsesNothing) {
  Parse("");
  EXPECT_EQ(library.machines(), nullptr);
  EXPECT_TRUE(ui.boxes.empty());
}

class MachineLibraryFiles : public MachineLibraryTest {
 protected:
  testsupport::TempDir dir;
};

TEST_F(MachineLibraryFiles, LoadsFilesOfTheFolderInListingOrder) {
  dir.Write("rozizuzi/stateMachine/b.qsm", "STATE_MACHINE { KEY { door } COMMENT [ from b ] }");
  dir.Write("rozizuzi/stateMachine/A.QSM", "STATE_MACHINE { KEY { door } COMMENT [ from a ] }\n"
                                           "STATE_MACHINE { KEY { lever } }");
  dir.Write("rozizuzi/stateMachine/notes.txt", "STATE_MACHINE { KEY { notes } }");
  dir.MakeDir("rozizuzi/stateMachine/dir.qsm");
  EXPECT_EQ(library.LoadFolder(), 2);
  // The file parsed last defines the one found.
  EXPECT_EQ(library.FindMachine("door")->comment.value_or("?"), " from b ");
  EXPECT_NE(library.FindMachine("lever"), nullptr);
  EXPECT_EQ(library.FindMachine("notes"), nullptr);
}

TEST_F(MachineLibraryFiles, LoadFileReadsWholeFileAndQuotesItsPath) {
  dir.Write("rozizuzi/stateMachine/x.qsm", "STATE_MACHINE { KEY { a } } /* /* */");
  EXPECT_TRUE(library.LoadFile("rozizuzi\\stateMachine\\x.qsm"));
  library.ParseBlock("", false);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error processing Quest file rozizuzi\\stateMachine\\x.qsm.");
}

TEST_F(MachineLibraryFiles, MissingOrEmptyFileLeavesNoBuffer) {
  dir.Write("empty.qsm", "");
  EXPECT_FALSE(library.LoadFile("missing.qsm"));
  library.ParseBlock("", false);
  EXPECT_FALSE(library.LoadFile("empty.qsm"));
  library.ParseBlock("", false);
  EXPECT_EQ(library.machines(), nullptr);
  EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
