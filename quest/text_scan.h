#pragma once
// Reading numbers out of texts the way "%d" and "%d,%d" conversions do:
// leading blanks skipped, an optional sign, at least one digit, the rest of
// the text ignored. Values beyond the int range are clamped.
#include <string_view>

bool ScanInt(std::string_view text, int& value);
// "%d,%d": the comma must follow the first number directly. True only when
// both numbers were read.
bool ScanIntPair(std::string_view text, int& first, int& second);
