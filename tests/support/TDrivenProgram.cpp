#include "TDrivenProgram.h"
#include "../../res/resource.h"

std::string ProgramUnderTest;

void TDrivenProgram::TearDown()
{
    Program.reset();
    TRealMachine::TearDown();
}

void TDrivenProgram::StartProgram(const std::string& arguments)
{
    Program = std::make_unique<TRemoteProgram>(ProgramUnderTest);
    ASSERT_TRUE(Program->Start(arguments));
    Frame = Program->WaitForWindow(MainWindowTitle);
    ASSERT_NE(nullptr, Frame);
    Form = GetWindow(Frame, GW_CHILD);
    ASSERT_NE(nullptr, Form);
    TreeWindow = GetDlgItem(Form, IDC_TREE);
    ASSERT_NE(nullptr, TreeWindow);
    OkButton = GetDlgItem(Form, IDOK);
    ASSERT_NE(nullptr, OkButton);
    CancelButton = GetDlgItem(Form, IDCANCEL);
    ASSERT_NE(nullptr, CancelButton);
}

int TDrivenProgram::StateOf(const std::string& text) const
{
    return Program->StateOf(TreeWindow, text);
}

void TDrivenProgram::ClickBox(const std::string& text, int expectedState)
{
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    ASSERT_TRUE(Program->PressBox(TreeWindow, text, expectedState)) << text << " stays at " << StateOf(text);
}

void TDrivenProgram::OpenConfirmation()
{
    ASSERT_TRUE(RealInput::BringToFront(Frame));
    RealInput::Click(OkButton, Centre(OkButton));
    Dialog = Program->WaitForWindow(ConfirmTitle, StepTimeout);
    ASSERT_NE(nullptr, Dialog);
    Program->WaitIdle();
}

void TDrivenProgram::ClickMessageBoxOk(HWND box, bool& dismissed)
{
    dismissed = false;
    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(nullptr, ok);
    RealInput::BringToFront(box);
    RealInput::Click(ok, Centre(ok));
    dismissed = Program->WaitForWindowGone(box, 3000);
}
