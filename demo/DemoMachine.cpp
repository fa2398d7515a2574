// Makes, shows and drives the demo machine: a 64-bit Windows with several of
// the family's products, their shared libraries, quota libraries and history,
// next to other vendors' programs that must be left alone.
//
// The family's installers are 32-bit programs, so on 64-bit Windows they lay
// it in the 32-bit side: every key through the 32-bit registry view (HKLM's
// software under Wow6432Node), the shared libraries into SysWOW64, products
// under "Program Files (x86)". This tool lays it so explicitly. The other
// side gets namesakes that are not the family's: an uninstall entry with a
// product's name and a shared library's namesake, which must stay.
//
// On a machine that cannot run 32-bit code the demo runs the 64-bit build of
// the uninstaller, which sees the 64-bit side; with "64" the tool lays the
// family there, as a 64-bit build of its installers would, and the
// namesakes on the 32-bit side.
//
//   uz-demo seed [32|64]              lay the demo machine state
//   uz-demo report [32|64]            list what of it is still there
//   uz-demo drive <exe> <dir>         run the uninstaller, choose, confirm, save pictures
#include "../tests/support/TRemoteProgram.h"
#include <shlobj.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The family's registry view, and the other side's, where the namesakes lie.
REGSAM FamilyView = KEY_WOW64_32KEY;
REGSAM OtherView = KEY_WOW64_64KEY;
const char* OtherSide = "64-bit";

struct TFolders {
    // System and ProgramFiles as the family's installers' files really lie:
    // for the 32-bit ones SysWOW64 and "Program Files (x86)".
    std::string Windows, System, ProgramFiles, Programs, CommonPrograms, Desktop, Documents;
    // The other side's.
    std::string OtherSystem, OtherProgramFiles;
};

bool FamilyIs64Bit()
{
    return FamilyView == KEY_WOW64_64KEY;
}

bool ChooseWidth(const std::string& width)
{
    if (width == "64") {
        FamilyView = KEY_WOW64_64KEY;
        OtherView = KEY_WOW64_32KEY;
        OtherSide = "32-bit";
        return true;
    }
    return width == "32" || width.empty();
}

std::string Folder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return path;
}

TFolders KnownFolders()
{
    TFolders f;
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, sizeof path);
    f.Windows = path;
    std::string system32 = Folder(CSIDL_SYSTEMX86), programFiles32 = Folder(CSIDL_PROGRAM_FILESX86);
    std::string system64 = Folder(CSIDL_SYSTEM), programFiles64 = Folder(CSIDL_PROGRAM_FILES);
    f.System = FamilyIs64Bit() ? system64 : system32;
    f.ProgramFiles = FamilyIs64Bit() ? programFiles64 : programFiles32;
    f.OtherSystem = FamilyIs64Bit() ? system32 : system64;
    f.OtherProgramFiles = FamilyIs64Bit() ? programFiles32 : programFiles64;
    f.Programs = Folder(CSIDL_PROGRAMS);
    f.CommonPrograms = Folder(CSIDL_COMMON_PROGRAMS);
    f.Desktop = Folder(CSIDL_DESKTOPDIRECTORY);
    f.Documents = Folder(CSIDL_PERSONAL);
    return f;
}

void SetString(HKEY root, const std::string& path, const char* name, const std::string& value,
               REGSAM view = 0)
{
    view = view ? view : FamilyView;
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (name)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0)
{
    view = view ? view : FamilyView;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void MakeFolders(const std::string& path)
{
    for (size_t at = 3; at <= path.size(); ++at)
        if (at == path.size() || path[at] == '\\')
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

void MakeFile(const std::string& path)
{
    MakeFolders(path.substr(0, path.rfind('\\')));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, "demo", 4, &written, nullptr);
        CloseHandle(file);
    }
}

struct TProduct {
    const char* Key;
    const char* Directory; // under the program-files folder
    const char* Group;
    std::vector<const char*> Files;
    std::vector<const char*> Shortcuts;
    std::vector<const char*> DocumentTypes;
    bool WithInstallPath;
};

const std::vector<TProduct>& Products()
{
    static const std::vector<TProduct> products = {
        {"ZOLT工程预算", "ZOLT\\工程预算", "ZOLT 工程预算",
         {"vexa.exe", "常用.cfg", "工程预算封面.DOC", "uninst\\udmain.exe", "uninst\\udenu.dll", "uninst\\udlog3.000"},
         {"ZOLT 工程预算", "ZOLT 工程预算帮助", "卸载"},
         {"YSB", "DEK", "JGK"},
         true},
        {"ZOLT网络计划", "ZOLT\\网络计划", "ZOLT 网络计划",
         {"netplan.exe", "example.wlt", "uninst\\udmain.exe", "uninst\\udenu.dll", "uninst\\udlog3.000"},
         {"ZOLT 网络计划", "ZOLT 网络计划例子", "卸载"},
         {"WLT"},
         false},
        {"ZOLT计算簿", "ZOLT\\计算簿", "ZOLT 工程预算",
         {"TallyPad.EXE", "函数说明.tpb", "钢筋比重表.tpb", "uninst\\udmain.exe"},
         {"ZOLT 计算簿", "函数说明"},
         {"TPB"},
         true},
    };
    return products;
}

const char UncataloguedKey[] = "ZOLT预算审核2008";
const char UncataloguedDir[] = "C:\\ZOLT\\预算审核";

std::string Directory(const TFolders& f, const TProduct& p)
{
    return f.ProgramFiles + "\\" + p.Directory;
}

// A program of the other side that shares a product's name, and a library's namesake.
const char OtherKey[] = "ZOLT网络计划";
std::string OtherDir(const TFolders& f)
{
    return f.OtherProgramFiles + "\\ZOLT\\网络计划";
}

void Seed()
{
    TFolders f = KnownFolders();
    // Windows keeps these values for old programs; a fresh Wine may not yet.
    SetString(HKEY_CURRENT_USER, ShellFolders, "DeskTop", f.Desktop);
    SetString(HKEY_CURRENT_USER, ShellFolders, "Programs", f.Programs);
    SetString(HKEY_CURRENT_USER, ShellFolders, "Personal", f.Documents);
    SetString(HKEY_LOCAL_MACHINE, ShellFolders, "Common Programs", f.CommonPrograms);

    for (const TProduct& p : Products()) {
        std::string entry = std::string(UninstallKey) + "\\" + p.Key;
        SetString(HKEY_LOCAL_MACHINE, entry, "DisplayName", p.Key);
        SetString(HKEY_LOCAL_MACHINE, entry, "UninstallString", Directory(f, p) + "\\uninst\\UninstallZolt.exe");
        if (p.WithInstallPath)
            SetString(HKEY_LOCAL_MACHINE, entry, "InstallPath", Directory(f, p));
        for (const char* file : p.Files)
            MakeFile(Directory(f, p) + "\\" + file);
        for (const char* shortcut : p.Shortcuts)
            MakeFile(f.CommonPrograms + "\\" + p.Group + "\\" + shortcut + ".lnk");
        MakeFile(f.Desktop + "\\" + p.Shortcuts[0] + ".lnk");
        for (const char* type : p.DocumentTypes) {
            SetString(HKEY_CLASSES_ROOT, std::string(".") + type, "", std::string(type) + "File");
            SetString(HKEY_CLASSES_ROOT, std::string(type) + "File\\shell\\open\\command", "",
                      Directory(f, p) + "\\" + p.Files[0] + " \"%1\"");
        }
    }
    MakeFile(f.Windows + "\\vexa.hlp");
    MakeFile(f.Windows + "\\zoltnet.hlp");

    // Listed only because its uninstall command names this uninstaller.
    std::string entry = std::string(UninstallKey) + "\\" + UncataloguedKey;
    SetString(HKEY_LOCAL_MACHINE, entry, "UninstallString", std::string(UncataloguedDir) + "\\UninstallZolt.exe");
    SetString(HKEY_LOCAL_MACHINE, entry, "InstallPath", UncataloguedDir);
    SetString(HKEY_LOCAL_MACHINE, entry, "ProgramGroup", "ZOLT 预算审核");
    SetString(HKEY_LOCAL_MACHINE, entry, "progs", "audit.exe=ZOLT 预算审核,SHB;readme.txt=;");
    MakeFile(std::string(UncataloguedDir) + "\\audit.exe");
    MakeFile(std::string(UncataloguedDir) + "\\readme.txt");
    MakeFile(f.CommonPrograms + "\\ZOLT 预算审核\\ZOLT 预算审核.lnk");
    SetString(HKEY_CLASSES_ROOT, ".SHB", "", "SHBFile");

    // Other vendors: never listed, never touched.
    SetString(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\PhotoLab 7", "UninstallString",
              f.ProgramFiles + "\\PhotoLab\\unins000.exe");
    SetString(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\{6F2A90C4-1B7E-4D0A-9C51-3E8B2D7A4F10}",
              "DisplayName", "Office Helper");
    // Names this uninstaller in another case: not the family's.
    SetString(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\Zolt Viewer", "UninstallString",
              "C:\\Other\\uninstallzolt.exe");
    MakeFile(f.ProgramFiles + "\\PhotoLab\\photolab.exe");
    MakeFile(f.CommonPrograms + "\\PhotoLab\\PhotoLab.lnk");
    SetString(HKEY_CLASSES_ROOT, ".PLB", "", "PLBFile");

    for (const char* dll : {"bds52f.dll", "cw3230.dll", "owl52f.dll", "GridPort.dll", "PageViewDlg.dll"})
        MakeFile(f.System + "\\" + dll);

    // The other side: not the family's.
    std::string otherEntry = std::string(UninstallKey) + "\\" + OtherKey;
    SetString(HKEY_LOCAL_MACHINE, otherEntry, "DisplayName",
              FamilyIs64Bit() ? "ZOLT 网络计划 (32 位)" : "ZOLT 网络计划 (64 位)", OtherView);
    SetString(HKEY_LOCAL_MACHINE, otherEntry, "UninstallString", OtherDir(f) + "\\uninst\\UninstallZolt.exe",
              OtherView);
    SetString(HKEY_LOCAL_MACHINE, otherEntry, "InstallPath", OtherDir(f), OtherView);
    MakeFile(OtherDir(f) + "\\netplan.exe");
    MakeFile(OtherDir(f) + "\\example.wlt");
    MakeFile(f.OtherSystem + "\\bds52f.dll");

    std::string ini = f.Windows + "\\VEXA.INI";
    const char* libraries[][2] = {
        {"全国统一安装工程预算定额湖北2000估价表", "C:\\ZOLT\\定额\\安装2000.dek"},
        {"全统建筑基础定额湖北2000基价表", "C:\\ZOLT\\定额\\建筑2000.dek"},
        {"江苏省建筑与装饰工程计价表2004", "C:\\ZOLT\\定额\\江苏2004\\计价表.dek"},
    };
    for (auto& library : libraries) {
        WritePrivateProfileStringA("Dek Files", library[0], library[1], ini.c_str());
        MakeFile(library[1]);
        SetString(HKEY_CURRENT_USER, std::string("Software\\Orlaquin\\Vexa\\") + library[0], "LastUsed", "1");
    }
    MakeFile("C:\\ZOLT\\定额\\安装预算例子.YSB");
    MakeFile("C:\\ZOLT\\定额\\土建预算例子.YSB");
    MakeFile(f.CommonPrograms + "\\ZOLT 工程预算\\2000湖北省建筑工程预算定额.lnk");
    SetString(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\ZOLT湖北2000建筑定额库", "DisplayName",
              "2000湖北省建筑工程预算定额");
    WritePrivateProfileStringA("Settings", "Language", "zh", ini.c_str());

    MakeFile(f.Documents + "\\TallyPad.ini");
    MakeFile(f.Documents + "\\预算表台账.YsbTz");
    MakeFile(f.Windows + "\\zoltnet.ini");
    SetString(HKEY_CURRENT_USER, "Software\\Orlaquin\\TallyPad\\Recent", "File1", "C:\\工程\\一号楼.tpb");
    SetString(HKEY_CURRENT_USER, "Software\\Orlaquin\\Vexa\\Ledger", "Count", "3");
    std::printf("demo machine state laid\n");
}

void Line(bool present, const std::string& what)
{
    std::printf("  %-8s %s\n", present ? "present" : "gone", what.c_str());
}

bool FileThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Report()
{
    TFolders f = KnownFolders();
    std::printf("uninstall entries (%s view):\n", FamilyIs64Bit() ? "64-bit" : "32-bit");
    for (const TProduct& p : Products())
        Line(KeyExists(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\" + p.Key), p.Key);
    for (const char* key : {UncataloguedKey, "ZOLT湖北2000建筑定额库", "PhotoLab 7",
                            "{6F2A90C4-1B7E-4D0A-9C51-3E8B2D7A4F10}", "Zolt Viewer"})
        Line(KeyExists(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\" + key), key);
    std::printf("files and folders:\n");
    for (const TProduct& p : Products()) {
        Line(FileThere(Directory(f, p)), Directory(f, p));
        Line(FileThere(f.CommonPrograms + "\\" + p.Group), f.CommonPrograms + "\\" + p.Group);
        Line(FileThere(f.Desktop + "\\" + p.Shortcuts[0] + ".lnk"), f.Desktop + "\\" + p.Shortcuts[0] + ".lnk");
    }
    for (const std::string& path :
         {std::string(UncataloguedDir), f.System + "\\bds52f.dll", f.System + "\\owl52f.dll",
          std::string("C:\\ZOLT\\定额\\安装2000.dek"), std::string("C:\\ZOLT\\定额\\江苏2004\\计价表.dek"),
          f.Documents + "\\TallyPad.ini", f.Windows + "\\zoltnet.ini", f.ProgramFiles + "\\PhotoLab",
          f.CommonPrograms + "\\PhotoLab\\PhotoLab.lnk"})
        Line(FileThere(path), path);
    std::printf("file associations (HKEY_CLASSES_ROOT):\n");
    for (const char* key : {".YSB", "YSBFile", ".WLT", ".TPB", ".SHB", ".PLB"})
        Line(KeyExists(HKEY_CLASSES_ROOT, key), key);
    std::printf("history and settings (HKEY_CURRENT_USER):\n");
    for (const char* key : {"Software\\Orlaquin", "Software\\Orlaquin\\Vexa", "Software\\Orlaquin\\TallyPad"})
        Line(KeyExists(HKEY_CURRENT_USER, key), key);
    char value[256] = {};
    GetPrivateProfileStringA("Dek Files", nullptr, "", value, sizeof value, (f.Windows + "\\VEXA.INI").c_str());
    std::printf("VEXA.INI [Dek Files] keys left: %s\n", *value ? value : "(none)");
    std::printf("the %s side, not the family's (must stay):\n", OtherSide);
    Line(KeyExists(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\" + OtherKey, OtherView),
         std::string(OtherSide) + " view uninstall entry " + OtherKey);
    Line(FileThere(OtherDir(f) + "\\netplan.exe"), OtherDir(f) + "\\netplan.exe");
    Line(FileThere(f.OtherSystem + "\\bds52f.dll"), f.OtherSystem + "\\bds52f.dll");
}

int Drive(const std::string& exe, const std::string& pictures)
{
    TRemoteProgram program(exe);
    if (!program.Start())
        return 1;
    HWND frame = program.WaitForWindow("弈辰软件卸载程序");
    if (!frame)
        return 1;
    program.WaitIdle();
    CreateDirectoryA(pictures.c_str(), nullptr);
    SaveWindowPicture(frame, pictures + "\\1-choose.bmp");

    // Choose the history item too, with a real click on its box.
    HWND form = GetWindow(frame, GW_CHILD);
    HWND tree = GetDlgItem(form, 101);
    RealInput::BringToFront(frame);
    POINT box;
    if (HTREEITEM history = program.FindItem(tree, "注册表中历史记录，台帐"))
        if (program.StateIconPoint(tree, history, box))
            RealInput::Click(tree, box);
    program.WaitIdle();
    SaveWindowPicture(frame, pictures + "\\2-chosen.bmp");

    RealInput::Click(GetDlgItem(form, IDOK), POINT{10, 10});
    HWND confirm = program.WaitForWindow("弈辰卸载确认");
    if (!confirm)
        return 1;
    program.WaitIdle();
    std::printf("the confirmation dialog lists:\n%s", WindowText(GetDlgItem(confirm, 101)).c_str());
    SaveWindowPicture(confirm, pictures + "\\3-confirm.bmp");
    RealInput::Key(VK_RETURN);

    HWND done = program.WaitForWindow("弈辰卸载", 60000);
    if (!done)
        return 1;
    program.WaitIdle();
    SaveWindowPicture(done, pictures + "\\4-done.bmp");
    RealInput::BringToFront(done);
    RealInput::Key(VK_RETURN);
    DWORD code = 1;
    if (!program.WaitForExit(code))
        return 1;
    std::printf("the uninstaller ended with status %lu\n", code);
    return static_cast<int>(code);
}
} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    bool width = argc < 4 && ChooseWidth(argc > 2 ? argv[2] : "");
    if (mode == "seed" && width) {
        Seed();
        return 0;
    }
    if (mode == "report" && width) {
        Report();
        return 0;
    }
    if (mode == "drive" && argc > 3)
        return Drive(argv[2], argv[3]);
    std::fprintf(stderr, "usage: uz-demo seed [32|64] | report [32|64] | drive <UninstallZolt.exe> <picture folder>\n");
    return 2;
}
