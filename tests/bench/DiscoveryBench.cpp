// Prints how long the uninstaller takes from process start until its tree is
// complete and its window shown, with many other vendors' uninstall entries
// beside the family's, and the time of Wine's own "uninstaller --list" on the
// same registry as a reference. Figures only: nothing here fails on speed.
//
// The shipping 32-bit exe and the 64-bit build side by side. Each reads the
// registry view of its own width, so every entry is laid in both views; Wine's
// list, like the system's own list of programs, shows both. Where the machine
// cannot run 32-bit code, "-" stands for each 32-bit program and only the
// 64-bit figures are taken.
#include "../support/Names.h"
#include "../support/TRemoteProgram.h"
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const char Prefix[] = "UzBenchVendor";
const int Runs = 5;
const REGSAM Views[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

void SetString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void SeedVendors(int from, int to)
{
    for (REGSAM view : Views) {
        for (int i = from; i < to; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%05d", Prefix, i);
            HKEY entry;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallEntry(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                            nullptr, &entry, nullptr);
            SetString(entry, "DisplayName", std::string("Vendor program ") + name);
            SetString(entry, "UninstallString", std::string("C:\\Program Files\\") + name + "\\unins000.exe");
            RegCloseKey(entry);
        }
    }
}

void RemoveVendors(int count)
{
    for (REGSAM view : Views) {
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%05d", Prefix, i);
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, UninstallEntry(name).c_str(), view, 0);
        }
    }
}

void SeedFamily(bool add)
{
    for (REGSAM view : Views) {
        for (const char* name : {"ZOLT工程预算", "ZOLT网络计划", "ZOLT计算簿"}) {
            std::string path = UninstallEntry(name);
            if (add) {
                HKEY entry;
                RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                &entry, nullptr);
                SetString(entry, "DisplayName", name);
                RegCloseKey(entry);
            } else {
                RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
            }
        }
    }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Start to the main window visible: its set-up, and so the tree, is done by then.
double TimeToWindow(const std::string& exe, const char* title)
{
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    TRemoteProgram program(exe);
    if (!program.Start())
        return -1;
    HWND frame = program.WaitForWindow(title, 120000);
    QueryPerformanceCounter(&shown);
    if (!frame)
        return -1;
    PostMessageA(frame, WM_CLOSE, 0, 0);
    DWORD code;
    program.WaitForExit(code, 20000);
    return Seconds(start, shown);
}

double TimeReference()
{
    char command[] = "uninstaller.exe --list";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(nul);
        return -1;
    }
    WaitForSingleObject(process.hProcess, 120000);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(nul);
    return Seconds(start, end);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: uz-bench <32-bit UninstallZolt.exe | -> <64-bit UninstallZolt.exe>\n"
                             "                [<32-bit bare window program | -> <64-bit one: uz-warmup.exe of each>]\n");
        return 2;
    }
    const std::string exe32 = argv[1], exe64 = argv[2];
    const bool run32 = exe32 != "-";
    // What any program that shows a window pays here, for scale.
    if (argc == 5) {
        for (int width : {32, 64}) {
            if (width == 32 && std::string(argv[3]) == "-")
                continue;
            std::vector<double> bare;
            for (int run = 0; run < Runs; ++run)
                bare.push_back(TimeToWindow(argv[width == 32 ? 3 : 4], "uz-warmup"));
            std::printf("a bare %d-bit window program: %.3f s from start to its window\n", width, Median(bare));
        }
    }
    SeedFamily(true);
    std::printf("uninstaller from start to its window (s), and Wine's list of both views:\n");
    std::printf("%-24s %-16s %-16s %-24s %s\n", "vendor entries per view", "32-bit (ships)", "64-bit",
                "uninstaller --list (s)", run32 ? "ratio 32-bit" : "ratio 64-bit");
    int seeded = 0;
    for (int count : {0, 100, 1000, 10000}) {
        SeedVendors(seeded, count);
        seeded = count;
        std::vector<double> ours32, ours64, reference;
        // The first start also pays for loading DLLs.
        if (run32)
            TimeToWindow(exe32, MainWindowTitle);
        TimeToWindow(exe64, MainWindowTitle);
        for (int run = 0; run < Runs; ++run) {
            if (run32)
                ours32.push_back(TimeToWindow(exe32, MainWindowTitle));
            ours64.push_back(TimeToWindow(exe64, MainWindowTitle));
            reference.push_back(TimeReference());
        }
        double b = Median(ours64), c = Median(reference);
        double a = run32 ? Median(ours32) : b;
        char shipped[32] = "not run";
        if (run32)
            std::snprintf(shipped, sizeof shipped, "%.3f", a);
        std::printf("%-24d %-16s %-16.3f %-24.3f %.2f\n", count, shipped, b, c, c > 0 ? a / c : 0.0);
        std::fflush(stdout);
    }
    RemoveVendors(seeded);
    SeedFamily(false);
    return 0;
}
