// Rovelog.exe: a GPS track recorder for Windows.
#include <windows.h>

#include "app/RovelogApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return CRovelogApp().Run(); }
