#pragma once
// The demo's texture banks: 256 x 256 true-colour TGA pictures of our own,
// painted by small procedures, stored in "data.mtf" where the editor looks
// for the game's banks ("DATA\bankdatabase\brimvault\k%04d_<name>.tga").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class DemoOutput;
struct TileRule;

struct DemoBank {
  int number;
  std::string name;
};

// The banks the demo blocks are painted with, by number: the grounds and
// materials first, then one bank from kFirstTransitionBank on for each
// outdoor rule that joins two grounds, named after the rule and painted
// from its mask.
inline constexpr int kFirstTransitionBank = 20;
const std::vector<DemoBank>& DemoBanks();
// Whether a rule joins its ground (sand, grass, water, woods) to another.
bool IsGroundTransition(const TileRule& rule);
// The transition rule of that name; null when it is none.
const TileRule* TransitionRule(std::string_view name);
// The number of the bank of that name; -1 when there is none.
int BankNumber(std::string_view name);
std::string DemoBankPath(const DemoBank& bank);
// The 18-byte header of a square, uncompressed 24-bit TGA (rows bottom
// first), with room reserved for its texels.
std::vector<std::uint8_t> SquareTgaHeader(int size);
// The TGA file of a bank: 24 bits, 256 x 256, bottom row first.
std::vector<std::uint8_t> DemoBankImage(const DemoBank& bank);

void AddTextureBanks(DemoOutput& out);
