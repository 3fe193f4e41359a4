#pragma once
// Kelvar's string table: message texts, tab names and the prompts of its
// commands ("status bar text\ntooltip").
namespace kelvar {

// Fills the program's string table.
void LoadKelvarStrings();

}  // namespace kelvar
