// The application object of pictaro.exe (test programs make their own).
#include "app/PictaroApp.h"

CPictaroApp theApp;
