// The main window's controls as the program sets them up after the layout:
// its group boxes and the event log's single column. The window and the test
// host that shows dialog 102 on its own share them.
#pragma once

#include <windows.h>

#include "ui/group_box.h"

// The About, tracker and settings boxes with blue bold captions; the sending
// box with a bold one.
void SetUpMainGroupBoxes(HWND dialog, CGroupBox (&boxes)[4]);
// Names the free port field and the lists for screen readers after the
// labels beside them: "Другой COM порт", "COM порт", "Доступ", and the radios
// "По времени" and "По расстоянию (в метрах)" the interval and distance lists
// belong to.
void NameControlsAfterLabels(HWND dialog);
// Adds the event log's column, "Журнал событий", fitted to the list.
void SetUpLogColumn(HWND list);
// The single column fills the list, and is never narrower than its header.
void FitLogColumn(HWND list);
