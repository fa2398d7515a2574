#include "TRemoteProgram.h"
#include "Owners.h"
#include <cstdio>
#include <cstring>

TRemoteProgram::TRemoteProgram(std::string exePath) : ExePath(std::move(exePath))
{
}

TRemoteProgram::~TRemoteProgram()
{
    if (IsRunning()) {
        TerminateProcess(Process, 99);
        WaitForSingleObject(Process, 10000);
    }
}

bool TRemoteProgram::Start(const std::string& arguments, HANDLE standardOutput, const std::string& directory)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (standardOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = standardOutput;
        startup.hStdError = standardOutput;
    }
    std::string commandLine = "\"" + ExePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    // A start now and then fails on a loaded machine; it is not the program's doing.
    PROCESS_INFORMATION started = {};
    for (int attempt = 0; attempt < 3 && !started.hProcess; ++attempt) {
        if (!CreateProcessA(ExePath.c_str(), &commandLine[0], nullptr, nullptr, standardOutput != nullptr, 0, nullptr,
                            directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
            std::fprintf(stderr, "CreateProcess failed with %lu; trying again\n", GetLastError());
            Sleep(500);
        }
    }
    if (!started.hProcess)
        return false;
    Process.Reset(started.hProcess);
    CloseHandle(started.hThread);
    ProcessId = started.dwProcessId;
    BOOL wow64 = FALSE;
    Narrow = sizeof(void*) == 4 || (IsWow64Process(Process, &wow64) && wow64);
    WaitForInputIdle(Process, 20000);
    return true;
}

bool TRemoteProgram::IsRunning() const
{
    return Process.IsOpen() && WaitForSingleObject(Process, 0) == WAIT_TIMEOUT;
}

namespace {
BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->first && IsWindowVisible(window)) {
        search->second = true;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool TRemoteProgram::ShowedAWindowBeforeExit(DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (IsRunning() && GetTickCount() - start < timeoutMs) {
        std::pair<DWORD, bool> search(ProcessId, false);
        EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.second)
            return true;
        Sleep(5);
    }
    return false;
}

namespace {
struct TWindowSearch {
    DWORD ProcessId;
    const char* Title;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TWindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->ProcessId && IsWindowVisible(window) && WindowText(window) == search->Title) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND TRemoteProgram::WaitForWindow(const char* title, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    do {
        TWindowSearch search = {ProcessId, title, nullptr};
        EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found)
            return search.Found;
        if (!IsRunning())
            return nullptr;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool TRemoteProgram::WaitForWindowGone(HWND window, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    do {
        if (!IsWindow(window) || !IsRunning())
            return true;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool TRemoteProgram::WaitForExit(DWORD& exitCode, DWORD timeoutMs) const
{
    if (WaitForSingleObject(Process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(Process, &exitCode) != 0;
}

void TRemoteProgram::WaitIdle(DWORD timeoutMs) const
{
    WaitForInputIdle(Process, timeoutMs);
    // A message sent to one of its windows returns only once it is processed.
    Sleep(50);
}

template <class Body>
bool TRemoteProgram::WithRemotePage(Body body) const
{
    TRemotePage page(Process);
    return page.IsOpen() && body(page.Get());
}

namespace {
// TVITEMA and TVHITTESTINFO as a program whose pointers and handles are
// TPointer wide lays them out.
template <class TPointer>
struct TItemRecord {
    UINT mask;
    TPointer hItem;
    UINT state;
    UINT stateMask;
    TPointer pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    TPointer lParam;
};

template <class TPointer>
struct THitTestRecord {
    POINT pt;
    UINT flags;
    TPointer hItem;
};

static_assert(sizeof(TItemRecord<UINT_PTR>) == sizeof(TVITEMA), "TVITEMA as this process lays it out");
static_assert(sizeof(THitTestRecord<UINT_PTR>) == sizeof(TVHITTESTINFO), "TVHITTESTINFO as this process lays it out");

template <class TPointer>
TPointer AsRemote(const void* pointer)
{
    return static_cast<TPointer>(reinterpret_cast<UINT_PTR>(pointer));
}

HTREEITEM AsLocal(UINT64 handle)
{
    return reinterpret_cast<HTREEITEM>(static_cast<UINT_PTR>(handle));
}
} // namespace

template <class TPointer>
bool TRemoteProgram::SendItemAs(HWND tree, UINT message, TVITEMA& record, char* remote) const
{
    TItemRecord<TPointer> laid = {};
    laid.mask = record.mask;
    laid.hItem = AsRemote<TPointer>(record.hItem);
    laid.state = record.state;
    laid.stateMask = record.stateMask;
    laid.pszText = AsRemote<TPointer>(record.pszText);
    laid.cchTextMax = record.cchTextMax;
    if (!WriteProcessMemory(Process, remote, &laid, sizeof laid, nullptr) ||
        !Ask(tree, message, 0, reinterpret_cast<LPARAM>(remote)) ||
        !ReadProcessMemory(Process, remote, &laid, sizeof laid, nullptr))
        return false;
    record.state = laid.state;
    record.iImage = laid.iImage;
    record.iSelectedImage = laid.iSelectedImage;
    return true;
}

bool TRemoteProgram::SendItem(HWND tree, UINT message, TVITEMA& record, char* remote) const
{
    return Narrow ? SendItemAs<UINT32>(tree, message, record, remote) : SendItemAs<UINT64>(tree, message, record, remote);
}

template <class TPointer>
bool TRemoteProgram::HitTestAs(HWND tree, TVHITTESTINFO& info, char* remote) const
{
    THitTestRecord<TPointer> laid = {info.pt, 0, 0};
    if (!WriteProcessMemory(Process, remote, &laid, sizeof laid, nullptr))
        return false;
    Ask(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote));
    if (!ReadProcessMemory(Process, remote, &laid, sizeof laid, nullptr))
        return false;
    info.flags = laid.flags;
    info.hItem = AsLocal(laid.hItem);
    return true;
}

TRemoteProgram::TItem TRemoteProgram::ReadItem(HWND tree, HTREEITEM handle) const
{
    TItem item;
    item.Handle = handle;
    WithRemotePage([&](char* remote) {
        const size_t textOffset = 512;
        TVITEMA record = {};
        record.mask = TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        record.hItem = handle;
        record.stateMask = 0xFFFF;
        record.pszText = remote + textOffset;
        record.cchTextMax = TRemotePage::Size - textOffset;
        if (!SendItem(tree, TVM_GETITEMA, record, remote))
            return false;
        char text[TRemotePage::Size] = {};
        ReadProcessMemory(Process, remote + textOffset, text, sizeof text - textOffset - 1, nullptr);
        item.Text = text;
        item.State = static_cast<int>((record.state & TVIS_STATEIMAGEMASK) >> 12);
        item.Expanded = (record.state & TVIS_EXPANDED) != 0;
        item.Selected = (record.state & TVIS_SELECTED) != 0;
        item.Image = record.iImage;
        item.SelectedImage = record.iSelectedImage;
        return true;
    });
    return item;
}

std::vector<TRemoteProgram::TItem> TRemoteProgram::ReadTree(HWND tree) const
{
    std::vector<TItem> items;
    struct TLevel {
        static void Read(const TRemoteProgram& program, HWND tree, HTREEITEM first, int depth,
                         std::vector<TItem>& out)
        {
            for (HTREEITEM h = first; h;
                 h = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)h))) {
                TItem item = program.ReadItem(tree, h);
                item.Depth = depth;
                Read(program, tree,
                     reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)h)),
                     depth + 1, item.Children);
                out.push_back(item);
            }
        }
    };
    TLevel::Read(*this, tree, reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0,
                 items);
    return items;
}

std::vector<TRemoteProgram::TItem> TRemoteProgram::Flatten(const std::vector<TItem>& items)
{
    std::vector<TItem> all;
    for (const TItem& item : items) {
        all.push_back(item);
        std::vector<TItem> below = Flatten(item.Children);
        all.insert(all.end(), below.begin(), below.end());
    }
    return all;
}

bool TRemoteProgram::SetItemState(HWND tree, HTREEITEM item, int state) const
{
    return WithRemotePage([&](char* remote) {
        TVITEMA record = {};
        record.mask = TVIF_STATE;
        record.hItem = item;
        record.state = INDEXTOSTATEIMAGEMASK(state);
        record.stateMask = TVIS_STATEIMAGEMASK;
        return SendItem(tree, TVM_SETITEMA, record, remote);
    });
}

RECT TRemoteProgram::ItemRect(HWND tree, HTREEITEM item, bool textOnly) const
{
    RECT rect = {};
    WithRemotePage([&](char* remote) {
        // TVM_GETITEMRECT takes the item handle in the rectangle's place, as
        // wide as the program's handles: on little-endian x86 the low bytes.
        const UINT64 handle = reinterpret_cast<UINT_PTR>(item);
        WriteProcessMemory(Process, remote, &handle, Narrow ? sizeof(UINT32) : sizeof handle, nullptr);
        if (!SendMessageA(tree, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(remote)))
            return false;
        return ReadProcessMemory(Process, remote, &rect, sizeof rect, nullptr) != 0;
    });
    return rect;
}

UINT TRemoteProgram::HitTest(HWND tree, POINT point, HTREEITEM* item) const
{
    TVHITTESTINFO info = {};
    info.pt = point;
    WithRemotePage([&](char* remote) {
        return Narrow ? HitTestAs<UINT32>(tree, info, remote) : HitTestAs<UINT64>(tree, info, remote);
    });
    if (item)
        *item = info.hItem;
    return info.flags;
}

bool TRemoteProgram::StateIconPoint(HWND tree, HTREEITEM item, POINT& point) const
{
    RECT text = ItemRect(tree, item, true);
    int y = (text.top + text.bottom) / 2;
    // The box lies left of the folder picture; scan leftwards for the first
    // point the tree itself reports as the item's state icon.
    for (int x = text.left - 1; x >= 0 && x > text.left - 64; --x) {
        HTREEITEM hit = nullptr;
        if ((HitTest(tree, POINT{x, y}, &hit) & TVHT_ONITEMSTATEICON) && hit == item) {
            // Aim at the middle of the box rather than its edge.
            int right = x;
            int left = x;
            while (left > 0 && (HitTest(tree, POINT{left - 1, y}, &hit) & TVHT_ONITEMSTATEICON))
                --left;
            point = POINT{(left + right) / 2, y};
            return true;
        }
    }
    return false;
}

HTREEITEM TRemoteProgram::FindItem(HWND tree, const std::string& text) const
{
    struct TSearch {
        static HTREEITEM In(const std::vector<TItem>& items, const std::string& text)
        {
            for (const TItem& item : items) {
                if (item.Text == text)
                    return item.Handle;
                if (HTREEITEM found = In(item.Children, text))
                    return found;
            }
            return nullptr;
        }
    };
    return TSearch::In(ReadTree(tree), text);
}

int TRemoteProgram::StateOf(HWND tree, const std::string& text) const
{
    HTREEITEM item = FindItem(tree, text);
    return item ? ReadItem(tree, item).State : -1;
}

bool TRemoteProgram::PressBox(HWND tree, const std::string& text, int expected) const
{
    HTREEITEM item = FindItem(tree, text);
    POINT point;
    if (!item || !StateIconPoint(tree, item, point))
        return false;
    RealInput::Click(tree, point);
    return WaitUntil([&] { return ReadItem(tree, item).State == expected; });
}

namespace RealInput {
namespace {
void SendMouse(DWORD flags, POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Moves the pointer and waits until the system has it there: a press sent
// straight after a move is sometimes delivered at the old position.
void MoveTo(POINT screen)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        SendMouse(MOUSEEVENTF_MOVE, screen);
        for (int wait = 0; wait < 50; ++wait) {
            POINT at;
            if (GetCursorPos(&at) && at.x == screen.x && at.y == screen.y) {
                Sleep(20);
                if (GetCursorPos(&at) && at.x == screen.x && at.y == screen.y)
                    return;
            }
            Sleep(10);
        }
    }
}

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}
} // namespace

bool BringToFront(HWND window)
{
    HWND top = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(top);
    for (int i = 0; i < 100 && GetForegroundWindow() != top; ++i)
        Sleep(10);
    return GetForegroundWindow() == top;
}

void Click(HWND window, POINT clientPoint)
{
    POINT screen = clientPoint;
    ClientToScreen(window, &screen);
    MoveTo(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    Sleep(30);
}

void DoubleClick(HWND window, POINT clientPoint)
{
    POINT screen = clientPoint;
    ClientToScreen(window, &screen);
    MoveTo(screen);
    for (int i = 0; i < 2; ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
        SendMouse(MOUSEEVENTF_LEFTUP, screen);
    }
    Sleep(30);
}

void Key(WORD vk)
{
    SendKey(vk, false);
    SendKey(vk, true);
    Sleep(30);
}

void KeyWithAlt(WORD vk)
{
    SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    SendKey(VK_MENU, true);
    Sleep(30);
}
} // namespace RealInput

std::string WindowText(HWND window)
{
    // Asked of the window itself: GetWindowText does not ask a control of
    // another process, and an edit control keeps its text to itself.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             5000, &got))
        return std::string();
    text.resize(got <= length ? got : length);
    return text;
}

std::string ClassName(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DWORD stride = ((width * 3 + 3) & ~3);
    DWORD imageSize = stride * height;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageSize;
    bool ok = false;
    TFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (file.IsOpen()) {
        DWORD written;
        ok = WriteFile(file, &header, sizeof header, &written, nullptr) &&
             WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
             WriteFile(file, bits, imageSize, &written, nullptr);
    }
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

POINT Centre(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    return POINT{rect.right / 2, rect.bottom / 2};
}

bool FindCloseBox(HWND window, POINT& clientPoint)
{
    TITLEBARINFO bar = {};
    bar.cbSize = sizeof bar;
    if (!GetTitleBarInfo(window, &bar))
        return false;
    auto isClose = [&](int x, int y) { return Ask(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE; };
    int y = (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2;
    int right = -1;
    for (int x = bar.rcTitleBar.right + 8; x > bar.rcTitleBar.left && right < 0; --x)
        if (isClose(x, y))
            right = x;
    if (right < 0)
        return false;
    int left = right;
    while (isClose(left - 1, y))
        --left;
    int x = (left + right) / 2;
    int top = y, bottom = y;
    while (isClose(x, top - 1))
        --top;
    while (isClose(x, bottom + 1))
        ++bottom;
    clientPoint = POINT{x, (top + bottom) / 2};
    ScreenToClient(window, &clientPoint);
    return true;
}

TMessageBoxText ReadMessageBox(HWND box)
{
    TMessageBoxText shown;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Button")
            ++shown.Buttons;
        else if (ClassName(child) == "Static" && !WindowText(child).empty())
            shown.Text = WindowText(child);
        else if (ClassName(child) == "Static" && IsWindowVisible(child) &&
                 (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && Ask(child, STM_GETICON, 0, 0))
            shown.IconControl = child;
    }
    return shown;
}
