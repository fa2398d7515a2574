// Prints how long the uninstaller takes from process start until its tree is
// complete and its window shown, with many other vendors' uninstall entries
// beside the family's, and the time of Wine's own "uninstaller --list" on the
// same registry as a reference. Figures only: nothing here fails on speed.
#include "../support/Names.h"
#include "../support/TRemoteProgram.h"
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const char Prefix[] = "UzBenchVendor";
const int Runs = 5;

void SetString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void SeedVendors(int from, int to)
{
    HKEY uninstall;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &uninstall, nullptr);
    for (int i = from; i < to; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%05d", Prefix, i);
        HKEY entry;
        RegCreateKeyExA(uninstall, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr);
        SetString(entry, "DisplayName", std::string("Vendor program ") + name);
        SetString(entry, "UninstallString", std::string("C:\\Program Files\\") + name + "\\unins000.exe");
        RegCloseKey(entry);
    }
    RegCloseKey(uninstall);
}

void RemoveVendors(int count)
{
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_ALL_ACCESS, &uninstall) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%05d", Prefix, i);
        RegDeleteKeyA(uninstall, name);
    }
    RegCloseKey(uninstall);
}

void SeedFamily(bool add)
{
    for (const char* name : {"ZOLT工程预算", "ZOLT网络计划", "ZOLT计算簿"}) {
        std::string path = UninstallEntry(name);
        if (add) {
            HKEY entry;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry,
                            nullptr);
            SetString(entry, "DisplayName", name);
            RegCloseKey(entry);
        } else {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
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
    if (argc < 2) {
        std::fprintf(stderr, "usage: uz-bench <UninstallZolt.exe> [<a bare window program: uz-warmup.exe>]\n");
        return 2;
    }
    std::string exe = argv[1];
    // What any program that shows a window pays here, for scale.
    if (argc > 2) {
        std::vector<double> bare;
        for (int run = 0; run < Runs; ++run)
            bare.push_back(TimeToWindow(argv[2], "uz-warmup"));
        std::printf("a bare window program: %.3f s from start to its window\n", Median(bare));
    }
    SeedFamily(true);
    std::printf("%-16s %-26s %-26s %s\n", "vendor entries", "uninstaller to window (s)", "uninstaller --list (s)",
                "ratio");
    int seeded = 0;
    for (int count : {0, 100, 1000, 10000}) {
        SeedVendors(seeded, count);
        seeded = count;
        std::vector<double> ours, reference;
        TimeToWindow(exe, MainWindowTitle); // the first start also pays for loading DLLs
        for (int run = 0; run < Runs; ++run) {
            ours.push_back(TimeToWindow(exe, MainWindowTitle));
            reference.push_back(TimeReference());
        }
        double a = Median(ours), b = Median(reference);
        std::printf("%-16d %-26.3f %-26.3f %.2f\n", count, a, b, b > 0 ? a / b : 0.0);
        std::fflush(stdout);
    }
    RemoveVendors(seeded);
    SeedFamily(false);
    return 0;
}
