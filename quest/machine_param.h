#pragma once
// A machine's typed parameter values: twelve small classes behind one
// interface (get text, set text, write, read), so that dialogs, the map, the
// quest file and the script generator treat every type alike.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "datafiles/multi_lang_text.h"
#include "quest/fixed_field.h"
#include "quest/machine_def.h"

namespace platform {
class File;
}

class CMachineParam {
 public:
  explicit CMachineParam(int valueType = kParamNone) : type(valueType) {}
  virtual ~CMachineParam() = default;
  CMachineParam(const CMachineParam&) = delete;
  CMachineParam& operator=(const CMachineParam&) = delete;

  virtual std::string GetText() const { return {}; }
  // Texts longer than the value's field are cut to fit it.
  virtual void SetText(std::string_view /*text*/) {}
  virtual void Write(platform::File& /*file*/) const {}
  // Throws platform::FileException when the file ends inside the record.
  virtual void Read(platform::File& /*file*/) {}

  // The bound definition's connector bits and display flag; an unbound value
  // has neither.
  int Flags() const { return def ? def->flags : 0; }
  bool IsDisplayed() const { return def && def->display != 0; }

  CMachineParam* next = nullptr;
  int type;
  int number = 0;
  const MachineParamDef* def = nullptr;
};

// A text value in a fixed field of N bytes (at most N - 1 characters). Its
// record: u32 version 2, u32 number, counted string; version 1 held the N
// raw bytes of the field instead.
template <int Type, std::size_t N>
class CMachineParamString : public CMachineParam {
 public:
  static constexpr std::size_t kSize = N;
  CMachineParamString() : CMachineParam(Type) {}
  std::string GetText() const override { return std::string(FieldText(value)); }
  void SetText(std::string_view text) override { SetField(value, text); }
  void Write(platform::File& file) const override;
  void Read(platform::File& file) override;

  char value[N] = {};
};

class CMachineParamFrame final : public CMachineParamString<kParamFrame, 512> {};
class CMachineParamObject final : public CMachineParamString<kParamObject, 80> {};
class CMachineParamSound final : public CMachineParamString<kParamSound, 80> {};
class CMachineParamAlpha final : public CMachineParamString<kParamAlpha, 512> {};
class CMachineParamSkelFile final : public CMachineParamString<kParamSkelFile, 512> {};
class CMachineParamSkelName final : public CMachineParamString<kParamSkelName, 80> {};
class CMachineParamSkelAnim final : public CMachineParamString<kParamSkelAnim, 80> {};
class CMachineParamEffect final : public CMachineParamString<kParamEffect, 80> {};
class CMachineParamMonster final : public CMachineParamString<kParamMonster, 80> {};
// The key of the chosen choice.
class CMachineParamList final : public CMachineParamString<kParamList, 80> {};

// A number with the text it was last set from. Getting the text formats the
// number into it; setting a text without a number keeps the number.
class CMachineParamInt final : public CMachineParam {
 public:
  CMachineParamInt() : CMachineParam(kParamInt) {}
  std::string GetText() const override;
  void SetText(std::string_view text) override;
  // u32 2, u32 number, i32 value. Version 1 had the 80 bytes of text after the value.
  void Write(platform::File& file) const override;
  void Read(platform::File& file) override;

  int value = 0;
  mutable char text[80] = {};
};

// A seven-language text: read in the current language, set into all seven.
class CMachineParamText final : public CMachineParam {
 public:
  CMachineParamText() : CMachineParam(kParamText) {}
  std::string GetText() const override;
  void SetText(std::string_view text) override;
  // u32 1, u32 number, the text record.
  void Write(platform::File& file) const override;
  void Read(platform::File& file) override;

  CMultiLangText value;
};

// A new empty value of a type code; null for a code outside 1 to 12.
std::unique_ptr<CMachineParam> NewMachineParam(int type);
