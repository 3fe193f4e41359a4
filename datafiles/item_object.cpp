#include "datafiles/item_object.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "datafiles/bounded_format.h"
#include "datafiles/byte_source.h"
#include "datafiles/language_table.h"

namespace {

constexpr std::size_t kLineSize = 160;
constexpr std::size_t kPieceSize = 80;
constexpr std::int16_t kMagicNoClosingLine = 51;
constexpr std::uint32_t kItemIndestructible = 32;

constexpr const char* kMagicNames[] = {
    "MAGIC_VIELLESSE",  "MAGIC_ZIZANIE",   "MAGIC_LENTEUR",    "MAGIC_FAMINE",     "MAGIC_ABONDANCE2",
    "MAGIC_REGENLIFE",  "MAGIC_REGENMANA", "MAGIC_SLOWPOISON", "MAGIC_LUMIERE",    "MAGIC_LOOSE",
    "MAGIC_SLOWTIME",   "MAGIC_PERCEPTION", "MAGIC_MANASHIELD", "MAGIC_IMMORTALITE",
};
constexpr std::int16_t kFirstMagic = 36;

constexpr const char* kSpecialKeys[] = {"STR71", "STR72", "STR73", "STMMISS", "MAGIC_SPECIAL_TEMPETE",
                                        "MAGIC_SPECIAL_STONE", "MAGIC_SPECIAL_CONFUSION"};

// The shown durability is a float in the file; anything it cannot hold as an int shows as 0.
std::int64_t WholePart(float v) {
  if (!std::isfinite(v) || v >= 2147483648.0f || v < -2147483648.0f) return 0;
  return static_cast<std::int32_t>(v);
}

class Lines {
 public:
  explicit Lines(std::string& text) : text_(text) {}

  // One line: the key's translation formatted with the values.
  void Add(const char* key, std::initializer_list<std::int64_t> values) {
    char line[kLineSize];
    FormatIntegers(line, sizeof line, g_languageTable.Translate(key), values);
    AddText(line);
  }
  void AddSigned(std::int16_t value, const char* positiveKey, const char* negativeKey) {
    if (value != 0) Add(value > 0 ? positiveKey : negativeKey, {value});
  }
  void AddText(const char* line) {
    text_ += "\r\n";
    text_ += line;
  }

 private:
  std::string& text_;
};

}  // namespace

int CItemObject::Read(ByteSource& source) {
  *this = CItemObject();
  std::uint16_t version = 0;
  if (!source.U16(version)) return 0;
  if (version < 1 || version > kNewestVersion) return 0;

  ByteSource& s = source;
  if (version >= 8) {
    std::uint32_t dropped = 0;
    s.U32(dropped);
  }
  s.I16(number);
  s.Fixed(name, sizeof name);
  s.I32(value380);
  s.I32(value384);
  s.Fixed(displayKey, sizeof displayKey);
  s.Fixed(text3, sizeof text3);
  s.I16(value96);
  s.I16(kind);
  s.I16(value100);
  if (version >= 2) s.Fixed(text4, sizeof text4);
  s.I16(value134);
  if (version >= 2) s.Fixed(text5, sizeof text5);
  s.I32(value168);
  s.I32(kind3Value);
  // The file holds kind-1 value A, the kind-2 value, then kind-1 value B.
  s.I16(kind1ValueA);
  s.I16(kind2Value);
  s.I16(kind1ValueB);
  std::int16_t* run[] = {&special,  &flags,    &value186, &signedC,   &signedB,   &signedA,   &magic,
                         &value196, &group1[0], &group1[1], &group1[2], &group1[3], &group2[0], &group2[1],
                         &group2[2], &signedD,  &signedE,  &signedF,   &rangeLow,  &rangeHigh, &value222,
                         &value224, &closing[0], &closing[1], &closing[2], &closing[3]};
  std::size_t runLength = version >= 6 ? 26 : 25;
  for (std::size_t k = 0; k < runLength; ++k) s.I16(*run[k]);
  s.I16(value234);
  s.I16(value236);
  s.I16(durabilityMax);
  s.I16(durability);
  for (std::int32_t& v : values244) s.I32(v);
  s.I16(value260);
  s.I16(value262);
  s.I32(value388);
  if (version >= 3) {
    s.U32(itemFlags);
    s.I32(value268);
  }
  if (version >= 4) {
    s.Fixed(pickSound, sizeof pickSound);
    s.Fixed(dropSound, sizeof dropSound);
    s.Fixed(useSound, sizeof useSound);
  }
  if (version >= 5) s.F32(durabilityValue);
  if (version >= 8) s.I32(value404);
  if (version >= 9) s.I32(value368);
  if (s.failed()) {
    *this = CItemObject();
    return 0;
  }

  if (version <= 2) {
    durabilityValue = durabilityMax;
  } else if (version <= 4) {
    durabilityValue = std::min(durabilityMax, durability);
  } else {
    durabilityValue = std::min(durabilityValue, static_cast<float>(durability));
  }
  return 1;
}

void CItemObject::Describe(std::string& text, bool append) const {
  if (!append) text = g_languageTable.Translate(displayKey);
  Lines lines(text);
  bool indestructible = durability < 0 || (itemFlags & kItemIndestructible) != 0;
  std::int64_t shownDurability = WholePart(durabilityValue);

  switch (kind) {
    case 1:
      if (indestructible) lines.Add("STINDESTRUCTIBLE", {kind1ValueA, kind1ValueB});
      else lines.Add("STR50", {kind1ValueA, kind1ValueB, shownDurability, durability});
      break;
    case 2:
      if (indestructible) lines.Add("STINDESTRUCTIBLE2", {kind2Value});
      else lines.Add("STR63", {kind2Value, shownDurability, durability});
      break;
    case 3:
      lines.Add(kind3Value == 1 ? "STR66" : "STR67", {kind3Value});
      break;
    default:
      break;
  }

  lines.AddSigned(signedA, "STR64", "STR65");
  lines.AddSigned(signedB, "STR51", "STR52");
  lines.AddSigned(signedC, "STR53", "STR54");

  if (special >= 1 && special <= 7) lines.Add(kSpecialKeys[special - 1], {});

  if (rangeLow != 0 || rangeHigh != 0) {
    if (rangeLow == rangeHigh) lines.Add("STR55", {rangeHigh});
    else lines.Add("STR56", {rangeLow, rangeHigh});
  }

  if (flags & 1) lines.Add("STR57", {});
  if (flags & 2) lines.Add("STR58", {});
  else if (flags & 4) lines.Add("STR59", {});
  else if (flags & 8) lines.Add("STR60", {});
  if (flags & 16) lines.Add("STR61", {});
  else if (flags & 32) lines.Add("STR62", {});

  if (group1[0] != 0 && group1[1] != 0 && group1[2] != 0 && group1[3] != 0) {
    lines.Add("STR74", {group1[0]});
  } else {
    if (group1[0] != 0) lines.Add("STR75", {group1[0]});
    if (group1[1] != 0) lines.Add("STR76", {group1[1]});
    if (group1[2] != 0) lines.Add("STR77", {group1[2]});
    if (group1[3] != 0) lines.Add("STR78", {group1[3]});
  }

  if (group2[0] != 0 && group2[1] != 0 && group2[2] != 0) {
    lines.Add("STR79", {group2[0]});
  } else {
    if (group2[0] != 0) lines.Add("STR80", {group2[0]});
    if (group2[1] != 0) lines.Add("STR81", {group2[1]});
    if (group2[2] != 0) lines.Add("STR82", {group2[2]});
  }

  lines.AddSigned(signedD, "STR83", "STR84");
  lines.AddSigned(signedE, "STR85", "STR86");
  lines.AddSigned(signedF, "STR87", "STR88");

  if (magic >= kFirstMagic && magic < kFirstMagic + static_cast<int>(std::size(kMagicNames))) {
    lines.Add(kMagicNames[magic - kFirstMagic], {});
  }

  bool anyClosing = closing[0] != 0 || closing[1] != 0 || closing[2] != 0 || closing[3] != 0;
  if (magic != kMagicNoClosingLine && anyClosing) {
    char line[kLineSize] = {};
    AppendBounded(line, sizeof line, g_languageTable.Translate("STR92"));
    constexpr const char* kClosingKeys[] = {"STR93", "STR94", "STR95", "STR105"};
    for (int k = 0; k < 4; ++k) {
      if (closing[k] == 0) continue;
      char piece[kPieceSize];
      FormatIntegers(piece, sizeof piece, g_languageTable.Translate(kClosingKeys[k]), {closing[k]});
      AppendBounded(line, sizeof line, piece);
    }
    lines.AddText(line);
  }
}
