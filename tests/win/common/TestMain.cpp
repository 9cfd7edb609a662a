// Test programs run like pictaro.exe: an application object (GDI+ started,
// the program's directory known) and the control classes registered.
#include <gtest/gtest.h>

#include "app/PictaroApp.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    CPictaroApp app;
    AfxEnableControlContainer();
    return RUN_ALL_TESTS();
}
