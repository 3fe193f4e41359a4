#pragma once
// Fills the element dialogs' pickers with the picker dialogs.
namespace kelvar {

void InstallPickerDialogs();

}  // namespace kelvar
