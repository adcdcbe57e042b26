#include "plugin/InterfaceApp.h"

#include <gtest/gtest.h>

// The tests' own application object: the test program's resources hold the same templates as the DLL.
CInterfaceApp theApp;

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    theApp.Start(::GetModuleHandleA(nullptr));
    return RUN_ALL_TESTS();
}
