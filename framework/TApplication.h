#pragma once
#include "TFrameWindow.h"
#include <memory>
#include <string>

// The application object: instance set-up, the main window and the
// message loop. One exists per process.
class TApplication {
public:
    explicit TApplication(const char* name, TModule* module = nullptr);
    virtual ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Sets up the instance, runs the message loop; returns the quit status.
    virtual int Run();

    const std::string& GetName() const { return Name; }
    TModule& GetModule() const { return *Module; }
    TFrameWindow* GetMainWindow() const { return MainWindow.get(); }
    virtual bool CanClose() { return true; }

    int MessageBox(HWND owner, const char* text, const char* caption, UINT type = MB_OK);

    static TApplication* Current() { return Instance; }

protected:
    // Called once, before any window exists; must set the main window.
    virtual void InitMainWindow() = 0;
    void SetMainWindow(TFrameWindow* window) { MainWindow.reset(window); }

private:
    int MessageLoop();

    std::string Name;
    TModule* Module;
    std::unique_ptr<TFrameWindow> MainWindow;

    static TApplication* Instance;
};
