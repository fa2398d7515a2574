// Prints how long the uninstaller's look for programs that hold what it is
// about to delete takes, after the confirmation: finding the files (the
// removal pass run without deleting) and asking who holds them (the Restart
// Manager and the walk over every process and its modules), with 0 and with
// 150 other processes running. Figures only: nothing here fails on speed.
#include "../../catalogue/Catalogue.h"
#include "../../holders/TFileHolders.h"
#include "../../removal/TRemovalPass.h"
#include "../support/Names.h"
#include "../support/TRemoteProgram.h"
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
const char Product[] = "弈辰测速产品";
// As many as a file list of 2048 bytes names.
const int Files = 140;
const int Runs = 7;

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

template <class Work>
double Time(Work work)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

// A product of `Files` files in `folder`, one of them the DLL `library`,
// with its uninstall entry.
void LayProduct(const std::string& folder, const std::string& library)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(library.c_str(), (folder + "\\holder.dll").c_str(), FALSE);
    std::string list = "holder.dll=;";
    for (int i = 1; i < Files; ++i) {
        std::string name = "file" + std::to_string(i) + ".dat";
        HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        list += name + "=;";
    }
    HKEY entry;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallEntry(Product).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry,
                    nullptr);
    auto set = [&](const char* name, const std::string& value) {
        RegSetValueExA(entry, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    };
    set("UninstallString", folder + "\\UninstallZolt.exe");
    set("InstallPath", folder);
    set("ProgramGroup", "弈辰 测速");
    set("progs", list);
    RegCloseKey(entry);
}

int ProcessCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W process = {};
    process.dwSize = sizeof process;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &process); more; more = Process32NextW(snapshot, &process))
        ++count;
    CloseHandle(snapshot);
    return count;
}

void RemoveProduct(const std::string& folder)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallEntry(Product).c_str());
    DeleteFileA((folder + "\\holder.dll").c_str());
    for (int i = 1; i < Files; ++i)
        DeleteFileA((folder + "\\file" + std::to_string(i) + ".dat").c_str());
    RemoveDirectoryA(folder.c_str());
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: uz-holder-bench <uz-holder.exe>\n");
        return 2;
    }
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    TRemovalContext context;
    context.Dirs = TSystemDirs{windows, system};
    FillCatalogues();
    const std::string holder = argv[1];
    const std::string folder = std::string(windows).substr(0, 3) + "uz-holder-bench";
    LayProduct(folder, holder.substr(0, holder.find_last_of("\\/") + 1) + "uz-holder-lib.dll");

    std::printf("the look for programs that hold a product's %d files, after the confirmation (s, median of %d):\n",
                Files, Runs);
    std::printf("%-26s %-22s %-22s %s\n", "other processes running", "finding the files", "who holds them",
                "processes seen");
    std::vector<std::unique_ptr<TRemoteProgram>> crowd;
    // Last, one of them has loaded the product's DLL: then every process's
    // modules are looked at.
    for (int others : {0, 150, 151}) {
        while (static_cast<int>(crowd.size()) < others) {
            crowd.push_back(std::make_unique<TRemoteProgram>(holder));
            const bool holds = others == 151;
            if (!crowd.back()->Start(holds ? "hidden load:" + folder + "\\holder.dll" : "hidden")) {
                std::fprintf(stderr, "could not start %s\n", holder.c_str());
                return 1;
            }
        }
        std::vector<double> finding, looking;
        size_t seen = 0, found = 0;
        for (int run = 0; run < Runs; ++run) {
            TRemovalTargets targets;
            finding.push_back(Time([&] { targets = TRemovalPass::FindTargets(context, {Product}); }));
            found = targets.Files().size();
            TFileHolders lookUp(targets);
            std::vector<THolder> holders;
            looking.push_back(Time([&] { holders = lookUp.Look(); }));
            seen = holders.size();
        }
        const std::string row = others == 151 ? "150 + 1 holding a DLL" : std::to_string(others);
        std::printf("%-26s %-22.4f %-22.4f %d (%zu holding; %zu files)\n", row.c_str(), Median(finding),
                    Median(looking), ProcessCount(), seen, found);
        std::fflush(stdout);
    }
    crowd.clear();
    RemoveProduct(folder);
    return 0;
}
