// The main window's controls as the program sets them up after the layout:
// its group boxes and the event log's single column. The window and the test
// host that shows dialog 102 on its own share them.
#pragma once

#include <windows.h>

#include "ui/group_box.h"

// The About, tracker and settings boxes with blue bold captions; the sending
// box with a bold one.
void SetUpMainGroupBoxes(HWND dialog, CGroupBox (&boxes)[4]);
// Adds the event log's column, "Журнал событий", fitted to the list.
void SetUpLogColumn(HWND list);
// The single column fills the list, and is never narrower than its header.
void FitLogColumn(HWND list);
