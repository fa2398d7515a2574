// A program the tests leave running while the uninstaller works: it holds
// its own program file and, with "load:<path>", a DLL it loads from there.
//   uz-holder.exe [stubborn | hidden] [load:<path>]
// It shows a window titled "uz-holder" and ends when that window is asked
// to close, as a program does; "stubborn" ignores the request, as a program
// that keeps its user's work would; "hidden" shows no window at all and
// only waits to be ended (for the benchmark's crowd of processes).
#include <windows.h>
#include <cstring>

namespace {
bool Stubborn = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (Stubborn)
            return 0;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    bool hidden = false;
    // Switches are separated by spaces; a path to load lasts to the end.
    for (char* at = commandLine; at && *at;) {
        while (*at == ' ')
            ++at;
        if (std::strncmp(at, "load:", 5) == 0) {
            if (!LoadLibraryA(at + 5))
                return 2;
            break;
        }
        Stubborn = Stubborn || std::strncmp(at, "stubborn", 8) == 0;
        hidden = hidden || std::strncmp(at, "hidden", 6) == 0;
        at = std::strchr(at, ' ');
    }
    MSG message;
    // Waiting for messages that never come tells whoever started it that
    // it is ready, as a program with a window does.
    if (hidden) {
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "UzHolderWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("UzHolderWindow", "uz-holder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 240, 120,
                                nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
