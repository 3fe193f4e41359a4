#pragma once
// Item-object rows written field by field in the file's order for each row
// version, from an item as held in memory.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "datafiles/item_object.h"
#include "support/bytes.h"
#include "table_bytes.h"

namespace itembytes {

inline testsupport::Bytes Row(const CItemObject& o, int version, std::uint32_t droppedWord = 0xDEADBEEF) {
  testsupport::Bytes b;
  auto h = [&b](std::int16_t v) { b.u16(static_cast<std::uint16_t>(v)); };
  b.u16(static_cast<std::uint16_t>(version));
  if (version >= 8) b.u32(droppedWord);
  h(o.number);
  b.fixed(o.name, 32).i32(o.value380).i32(o.value384).fixed(o.displayKey, 32).fixed(o.text3, 32);
  h(o.value96);
  h(o.kind);
  h(o.value100);
  if (version >= 2) b.fixed(o.text4, 32);
  h(o.value134);
  if (version >= 2) b.fixed(o.text5, 32);
  b.i32(o.value168).i32(o.kind3Value);
  h(o.kind1ValueA);
  h(o.kind2Value);
  h(o.kind1ValueB);
  for (std::int16_t v : {o.special, o.flags, o.value186, o.signedC, o.signedB, o.signedA, o.magic, o.value196,
                         o.group1[0], o.group1[1], o.group1[2], o.group1[3], o.group2[0], o.group2[1], o.group2[2],
                         o.signedD, o.signedE, o.signedF, o.rangeLow, o.rangeHigh, o.value222, o.value224,
                         o.closing[0], o.closing[1], o.closing[2]})
    h(v);
  if (version >= 6) h(o.closing[3]);
  h(o.value234);
  h(o.value236);
  h(o.durabilityMax);
  h(o.durability);
  for (std::int32_t v : o.values244) b.i32(v);
  h(o.value260);
  h(o.value262);
  b.i32(o.value388);
  if (version >= 3) b.u32(o.itemFlags).i32(o.value268);
  if (version >= 4) b.fixed(o.pickSound, 32).fixed(o.dropSound, 32).fixed(o.useSound, 32);
  if (version >= 5) b.f32(o.durabilityValue);
  if (version >= 8) b.i32(o.value404);
  if (version >= 9) b.i32(o.value368);
  return b;
}

// An item whose every stored field holds a value of its own.
inline CItemObject Distinct(const std::string& name) {
  CItemObject o;
  std::snprintf(o.name, sizeof o.name, "%s", name.c_str());
  std::snprintf(o.displayKey, sizeof o.displayKey, "KEY_%s", name.c_str());
  std::snprintf(o.text3, sizeof o.text3, "three");
  std::snprintf(o.text4, sizeof o.text4, "four");
  std::snprintf(o.text5, sizeof o.text5, "five");
  std::snprintf(o.pickSound, sizeof o.pickSound, "PICK");
  std::snprintf(o.dropSound, sizeof o.dropSound, "DROP");
  std::snprintf(o.useSound, sizeof o.useSound, "USE");
  std::int16_t n = 1;
  for (std::int16_t* p : {&o.value96, &o.kind, &o.value100, &o.value134, &o.kind1ValueA, &o.kind1ValueB, &o.kind2Value,
                          &o.special, &o.flags, &o.value186, &o.signedC, &o.signedB, &o.signedA, &o.magic, &o.value196,
                          &o.group1[0], &o.group1[1], &o.group1[2], &o.group1[3], &o.group2[0], &o.group2[1],
                          &o.group2[2], &o.signedD, &o.signedE, &o.signedF, &o.rangeLow, &o.rangeHigh, &o.value222,
                          &o.value224, &o.closing[0], &o.closing[1], &o.closing[2], &o.closing[3], &o.value234,
                          &o.value236, &o.value260, &o.value262, &o.number})
    *p = n++;
  o.durabilityMax = 500;
  o.durability = 400;
  std::int32_t w = 100000;
  for (std::int32_t* p : {&o.value168, &o.kind3Value, &o.values244[0], &o.values244[1], &o.values244[2],
                          &o.values244[3], &o.value268, &o.value368, &o.value380, &o.value384, &o.value388,
                          &o.value404})
    *p = w++;
  o.itemFlags = 0x40;
  o.durabilityValue = 300.5f;
  return o;
}

using tablebytes::File;

}  // namespace itembytes
