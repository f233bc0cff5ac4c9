// The window's DPI and the per-monitor calls of Windows 10, looked up when the
// program runs: Windows 7 and 8.1 lack them and must still start the
// executable (the manifest's system-DPI awareness serves them).
#pragma once

#include <windows.h>

// The DPI the window is shown at: its monitor's on Windows 10 and later, the
// system's before.
int WindowDpi(HWND hwnd);
// Leaves a DPI change of the dialog to the dialog itself: the dialog manager
// of Windows 10 would otherwise rescale the controls from the template over
// the layout's places. Nothing on systems without that behaviour.
void TakeOverDialogDpiChanges(HWND dialog);
// The font at the DPI: a font made for from_dpi, its height scaled to to_dpi.
// Null when it cannot be made; the caller owns it.
HFONT FontForDpi(HFONT font, int from_dpi, int to_dpi);
