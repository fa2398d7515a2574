#pragma once
#include "../framework/TApplication.h"
#include "../unattended/TCommandLine.h"
#include "../unattended/TRunLog.h"

// The uninstaller. Without arguments it is the window; with them it also
// answers deployment tools: see TCommandLine.
class TUnInstallApp : public TApplication {
public:
    TUnInstallApp();

    // The window, or what the command line asks for; returns the exit code.
    int Run() override;

protected:
    void InitMainWindow() override;

private:
    // Another instance holds the removal: its window comes to the front,
    // or without one the user is told.
    void GiveWayToTheOtherRemoval();
    // A message box, unless /quiet forbids one.
    void Tell(const std::string& text, UINT type);

    TCommandLine Options;
    TRunLog Log;
};
