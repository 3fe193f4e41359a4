#include "datafiles/multi_lang_text.h"

#include <cstring>

#include "datafiles/byte_source.h"
#include "datafiles/file_utils.h"
#include "platform/core/file.h"

namespace {

bool InRange(int language) { return language >= 0 && language < kLanguageCount; }

void PutU32(platform::File& file, std::uint32_t v) { file.Write(&v, sizeof v); }

}  // namespace

int CMultiLangText::Set(int language, const char* text) {
  if (text == nullptr || !InRange(language)) return 0;
  std::string& slot = texts_[static_cast<std::size_t>(language)];
  slot.assign(text);
  if (slot.empty()) return 0;
  return static_cast<int>(slot.size() + 1);
}

const char* CMultiLangText::Get(int language) const {
  return InRange(language) ? texts_[static_cast<std::size_t>(language)].c_str() : "";
}

bool CMultiLangText::Has(int language) const {
  return InRange(language) && !texts_[static_cast<std::size_t>(language)].empty();
}

const char* CMultiLangText::GetLocalized(int language) const {
  if (language < 0) language = g_languageTable.GetLanguage();
  language = ValidLanguage(language);
  if (Has(language)) return Get(language);
  if (Has(kLanguageEnglish)) return Get(kLanguageEnglish);
  for (int i = 0; i < kLanguageCount; ++i) {
    if (Has(i)) return Get(i);
  }
  return "";
}

void CMultiLangText::SetVoiceName(std::string_view name) {
  std::size_t n = name.size() < kVoiceNameSize - 1 ? name.size() : kVoiceNameSize - 1;
  std::memcpy(voiceName_, name.data(), n);
  std::memset(voiceName_ + n, 0, kVoiceNameSize - n);
}

void CMultiLangText::Free() {
  for (auto& t : texts_) {
    t.clear();
    t.shrink_to_fit();
  }
}

void CMultiLangText::Write(platform::File& file) const {
  PutU32(file, kRecordVersion);
  for (const std::string& text : texts_) {
    if (text.empty()) {
      PutU32(file, 0);
    } else {
      PutU32(file, static_cast<std::uint32_t>(text.size() + 1));
      file.Write(text.c_str(), text.size() + 1);
    }
  }
  WriteCountedString(file, voiceName_);
}

void CMultiLangText::Read(platform::File& file) {
  FileSource source(file);
  if (!Read(source)) throw platform::FileException(platform::kCauseEndOfFile, 0, file.path());
}

bool CMultiLangText::Read(ByteSource& source) {
  CMultiLangText read;
  std::memcpy(read.voiceName_, voiceName_, kVoiceNameSize);  // version 1 keeps it
  std::uint32_t version = 0;
  if (!source.U32(version)) return false;
  for (std::string& text : read.texts_) {
    std::uint32_t length = 0;
    // Text() cuts at the first zero, so a length of 1 (the terminator alone) is absent like 0.
    if (!source.U32(length) || !source.Text(length, text)) return false;
  }
  if (version == 2) {
    if (!source.Fixed(read.voiceName_, kVoiceNameSize)) return false;
  } else if (version >= 3) {
    std::uint32_t length = 0;
    std::string name;
    if (!source.U32(length)) return false;
    if (length != 0 && !source.Text(static_cast<std::uint64_t>(length) + 1, name)) return false;
    read.SetVoiceName(name);
  }
  *this = std::move(read);
  return true;
}
