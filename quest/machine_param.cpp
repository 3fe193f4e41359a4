#include "quest/machine_param.h"

#include <cstdio>

#include "datafiles/file_utils.h"
#include "quest/record_io.h"
#include "quest/text_scan.h"

template <int Type, std::size_t N>
void CMachineParamString<Type, N>::Write(platform::File& file) const {
  WriteU32(file, 2);
  WriteU32(file, static_cast<std::uint32_t>(number));
  WriteCountedString(file, FieldText(value));
}

template <int Type, std::size_t N>
void CMachineParamString<Type, N>::Read(platform::File& file) {
  const std::uint32_t version = ReadU32(file);
  number = static_cast<int>(ReadU32(file));
  if (version < 2) {
    ReadRawField(file, value);
  } else {
    ReadCountedString(file, value, N);
  }
}

template class CMachineParamString<kParamFrame, 512>;
template class CMachineParamString<kParamObject, 80>;
template class CMachineParamString<kParamSound, 80>;
template class CMachineParamString<kParamAlpha, 512>;
template class CMachineParamString<kParamSkelFile, 512>;
template class CMachineParamString<kParamSkelName, 80>;
template class CMachineParamString<kParamSkelAnim, 80>;
template class CMachineParamString<kParamEffect, 80>;
template class CMachineParamString<kParamMonster, 80>;
template class CMachineParamString<kParamList, 80>;

std::string CMachineParamInt::GetText() const {
  std::snprintf(text, sizeof text, "%d", value);
  return text;
}

void CMachineParamInt::SetText(std::string_view newText) {
  SetField(text, newText);
  ScanInt(FieldText(text), value);
}

void CMachineParamInt::Write(platform::File& file) const {
  WriteU32(file, 2);
  WriteU32(file, static_cast<std::uint32_t>(number));
  WriteI32(file, value);
}

void CMachineParamInt::Read(platform::File& file) {
  const std::uint32_t version = ReadU32(file);
  number = static_cast<int>(ReadU32(file));
  value = ReadI32(file);
  if (version > 1) {
    std::snprintf(text, sizeof text, "%d", value);
  } else {
    ReadRawField(file, text);
  }
}

std::string CMachineParamText::GetText() const { return value.GetLocalized(-1); }

void CMachineParamText::SetText(std::string_view newText) {
  const std::string copy(newText);
  for (int language = 0; language < kLanguageCount; ++language) value.Set(language, copy.c_str());
}

void CMachineParamText::Write(platform::File& file) const {
  WriteU32(file, 1);
  WriteU32(file, static_cast<std::uint32_t>(number));
  value.Write(file);
}

void CMachineParamText::Read(platform::File& file) {
  ReadU32(file);  // the version changes nothing here
  number = static_cast<int>(ReadU32(file));
  value.Read(file);
}

std::unique_ptr<CMachineParam> NewMachineParam(int type) {
  switch (type) {
    case kParamFrame: return std::make_unique<CMachineParamFrame>();
    case kParamObject: return std::make_unique<CMachineParamObject>();
    case kParamSound: return std::make_unique<CMachineParamSound>();
    case kParamInt: return std::make_unique<CMachineParamInt>();
    case kParamAlpha: return std::make_unique<CMachineParamAlpha>();
    case kParamSkelFile: return std::make_unique<CMachineParamSkelFile>();
    case kParamSkelName: return std::make_unique<CMachineParamSkelName>();
    case kParamSkelAnim: return std::make_unique<CMachineParamSkelAnim>();
    case kParamEffect: return std::make_unique<CMachineParamEffect>();
    case kParamMonster: return std::make_unique<CMachineParamMonster>();
    case kParamText: return std::make_unique<CMachineParamText>();
    case kParamList: return std::make_unique<CMachineParamList>();
    default: return nullptr;
  }
}
