#pragma once
#include "TRealMachine.h"
#include "TRemoteProgram.h"
#include <memory>

// The exe under test, from the driver tests' command line.
extern std::string ProgramUnderTest;

// A fixture that runs the finished program on the real machine and drives
// it through its windows. The program is ended before the machine is put
// back.
class TDrivenProgram : public TRealMachine {
protected:
    void TearDown() override;

    // Starts the program, with these arguments after its name, and waits
    // for its main window; finds the form in it, the tree and the two buttons.
    void StartProgram(const std::string& arguments = "");

    // The check state of the tree item with this text, or -1 when there is none.
    int StateOf(const std::string& text) const;
    // Presses the item's box with a real click until it shows `expectedState`.
    void ClickBox(const std::string& text, int expectedState);
    // Presses the form's 确认 with a real click and waits for the dialog.
    void OpenConfirmation();
    // Presses OK of a message box with a real click; `dismissed` tells
    // whether that took the box away.
    void ClickMessageBoxOk(HWND box, bool& dismissed);

    static const DWORD StepTimeout = 5000;

    std::unique_ptr<TRemoteProgram> Program;
    HWND Frame = nullptr;
    HWND Form = nullptr;
    HWND TreeWindow = nullptr;
    HWND OkButton = nullptr;
    HWND CancelButton = nullptr;
    HWND Dialog = nullptr;
};
