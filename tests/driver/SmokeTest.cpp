#include "DriverMain.h"
#include "TRealMachine.h"
#include "TRemoteProgram.h"

namespace {
const char MainTitle[] = "弈辰软件卸载程序";
}

class Smoke : public TRealMachine {};

TEST_F(Smoke, StartsAndEndsWithCancel)
{
    TRemoteProgram program(ProgramUnderTest);
    ASSERT_TRUE(program.Start());
    HWND frame = program.WaitForWindow(MainTitle);
    ASSERT_NE(nullptr, frame);
    HWND form = FindWindowExA(frame, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, form);
    SendMessageA(GetDlgItem(form, IDCANCEL), BM_CLICK, 0, 0);
    DWORD code = 1234;
    ASSERT_TRUE(program.WaitForExit(code));
    EXPECT_EQ(0u, code);
}
