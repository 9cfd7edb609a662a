// The application object and entry point of pictaro.exe (test programs make
// their own object and have their own main).
#include "app/PictaroApp.h"

CPictaroApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
