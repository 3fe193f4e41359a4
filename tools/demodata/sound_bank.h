#pragma once
// Demo sound effects: a few short synthesized WAVs (one of them scrambled as
// the game's are) under "data\sound" and the sound table "data\snd.dat" naming them.
class DemoOutput;

void AddSoundBank(DemoOutput& out);
