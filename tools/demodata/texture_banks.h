#pragma once
// The demo's texture banks: 256 x 256 true-colour TGA pictures of our own,
// painted by small procedures, stored in "data.mtf" where the editor looks
// for the game's banks ("DATA\bankdatabase\brimvault\k%04d_<name>.tga").
#include <cstdint>
#include <string>
#include <vector>

class DemoOutput;

struct DemoBank {
  int number;
  std::string name;
};

// The banks the demo blocks are painted with, by number.
const std::vector<DemoBank>& DemoBanks();
std::string DemoBankPath(const DemoBank& bank);
// The TGA file of a bank: 24 bits, 256 x 256, bottom row first.
std::vector<std::uint8_t> DemoBankImage(const DemoBank& bank);

void AddTextureBanks(DemoOutput& out);
