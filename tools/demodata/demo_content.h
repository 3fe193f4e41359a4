#pragma once
// Everything of the demo that the editors open, the sound bank aside: block
// sets, texture banks, skeletons, game tables and the sample quest, in the
// order they depend on one another.
class DemoOutput;

void AddEditorDemo(DemoOutput& out);
