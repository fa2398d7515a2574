#pragma once
#include <windows.h>
#include <commctrl.h>
#include "Owners.h"
#include <string>
#include <vector>

// The finished program run in a process of its own and driven from outside,
// through its real windows: every wait has a timeout.
class TRemoteProgram {
public:
    explicit TRemoteProgram(std::string exePath);
    ~TRemoteProgram(); // ends the process if it still runs
    TRemoteProgram(const TRemoteProgram&) = delete;
    TRemoteProgram& operator=(const TRemoteProgram&) = delete;

    // Starts the program with these arguments after its name; with a handle,
    // its standard output goes there; with a folder, that is its current one.
    bool Start(const std::string& arguments = "", HANDLE standardOutput = nullptr, const std::string& directory = "");
    bool IsRunning() const;
    // True when a visible window of the program showed at some moment
    // before it ended; watches until then, for at most the time given.
    bool ShowedAWindowBeforeExit(DWORD timeoutMs = 20000) const;
    // A visible top-level window of this process with exactly this title
    // (GBK bytes), or null when none appears in time.
    HWND WaitForWindow(const char* title, DWORD timeoutMs = 20000) const;
    // True when the window is gone, or the process ended, within the time.
    bool WaitForWindowGone(HWND window, DWORD timeoutMs = 20000) const;
    bool WaitForExit(DWORD& exitCode, DWORD timeoutMs = 20000) const;
    // Waits until the program's thread has nothing left to do.
    void WaitIdle(DWORD timeoutMs = 5000) const;

    DWORD GetProcessId() const { return ProcessId; }

    struct TItem {
        HTREEITEM Handle = nullptr;
        int Depth = 0;          // 0 at the top level
        std::string Text;
        int State = 0;          // check state: the state-image index
        bool Expanded = false;
        bool Selected = false;
        int Image = -1;
        int SelectedImage = -1;
        std::vector<TItem> Children;
    };

    // The whole tree, read through the program's own memory.
    std::vector<TItem> ReadTree(HWND tree) const;
    TItem ReadItem(HWND tree, HTREEITEM item) const;
    // Every item of a tree read, each before its children.
    static std::vector<TItem> Flatten(const std::vector<TItem>& items);
    // Puts the item's check box in a state, through the program's own memory.
    bool SetItemState(HWND tree, HTREEITEM item, int state) const;
    // The item's rectangle in the tree's client coordinates.
    RECT ItemRect(HWND tree, HTREEITEM item, bool textOnly) const;
    // Hit-test flags for a client point, and the item hit.
    UINT HitTest(HWND tree, POINT point, HTREEITEM* item = nullptr) const;
    // A client point on the item's check box, found by hit-testing.
    bool StateIconPoint(HWND tree, HTREEITEM item, POINT& point) const;
    HTREEITEM FindItem(HWND tree, const std::string& text) const;
    // The check state of the item with this text, or -1 when there is none.
    int StateOf(HWND tree, const std::string& text) const;
    // Presses the item's box with a real click; true once it shows `expected`.
    bool PressBox(HWND tree, const std::string& text, int expected) const;

private:
    // Runs `body` with a scratch page in the program's address space.
    template <class Body>
    bool WithRemotePage(Body body) const;
    // Sends a tree message that takes a TVITEMA, laid out at `remote` as the
    // program lays it out, and reads back the state and images it answers.
    bool SendItem(HWND tree, UINT message, TVITEMA& record, char* remote) const;
    template <class TPointer>
    bool SendItemAs(HWND tree, UINT message, TVITEMA& record, char* remote) const;
    template <class TPointer>
    bool HitTestAs(HWND tree, TVHITTESTINFO& info, char* remote) const;

    std::string ExePath;
    THandle Process;
    DWORD ProcessId = 0;
    // A 32-bit program: the tree's records in its memory then hold 4-byte
    // pointers and handles, whatever the width of this process.
    bool Narrow = false;
};

// Real input, through the system's input queue, at screen positions.
namespace RealInput {
bool BringToFront(HWND window);
void Click(HWND window, POINT clientPoint);
void DoubleClick(HWND window, POINT clientPoint);
void Key(WORD vk);
void KeyWithAlt(WORD vk);
} // namespace RealInput

// A window's text, asked of the window itself (so an edit control of
// another process gives what it holds now).
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// Writes what the screen shows of the window to a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::string& path);

// A message to the program's window that gives up when it does not answer.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);
POINT Centre(HWND window);
// The middle of the caption's close box, in the window's client coordinates
// (where it is negative), found by asking the window what each point is.
bool FindCloseBox(HWND window, POINT& clientPoint);

// What a message box shows: its text, how many buttons it has, and the
// control that shows its icon, if it shows one.
struct TMessageBoxText {
    std::string Text;
    int Buttons = 0;
    HWND IconControl = nullptr;
};
TMessageBoxText ReadMessageBox(HWND box);

// Polls `condition` until it holds or the time is up.
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}
