#pragma once
// Kelvar keeps its state in program-wide objects. They are brought up in one
// fixed order before the application object, so that they are torn down in
// the reverse order after it.
namespace kelvar {

// Brings every program-wide object up, in order; true when done.
bool ConstructGlobals();

}  // namespace kelvar
