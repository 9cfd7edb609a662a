// Test programs run like pictaro.exe: an application object (GDI+ started)
// and the control classes registered. The programs that test the main
// window get the program's own application object, which it reads back;
// the feature programs link no app/ code.
#include <gtest/gtest.h>

#ifdef PICTARO_MAIN_WINDOW_TESTS
#include "app/PictaroApp.h"
using TestApp = CPictaroApp;
#else
#include "framework/GdiplusSession.h"
#include "framework/WinApp.h"

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp(nullptr) {}

private:
    CGdiplusSession m_gdiplus;
};
#endif

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TestApp app;
    AfxEnableControlContainer();
    return RUN_ALL_TESTS();
}
