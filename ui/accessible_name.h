// The name a screen reader reads for a control (MSAA), taken from the label
// the user sees beside it.
#pragma once

#include <windows.h>

// From now on the control's accessible object is the system's own with the
// label's text as its name. Wine's oleacc names a drop-down list by its
// selected value (no name at all while none is selected) and an edit by the
// nearest static before it, whatever lies between: neither is the label
// beside the control. False when the control could not be subclassed.
bool NameAfterLabel(HWND control, HWND label);
