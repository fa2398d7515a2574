#include <windows.h>
#include "../support/DialogTemplate.h"
#include "../support/Names.h"
#include "../support/Owners.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

// Reads the resources of the built exes as data files, so the 32-bit one can
// be checked from the 64-bit tests too.
namespace {
std::vector<std::string> Exes;

class ExeResources : public ::testing::Test {
protected:
    // Runs `check` once for each exe named on the command line.
    template <class Check>
    void ForEachExe(Check check)
    {
        for (const std::string& exe : Exes) {
            SCOPED_TRACE(exe);
            Current = exe;
            TModuleFile module = LoadAsData(exe.c_str());
            Module = module;
            ASSERT_NE(nullptr, Module);
            check();
            Module = nullptr;
        }
    }

    const BYTE* Resource(LPCSTR type, int id, DWORD* size = nullptr)
    {
        HRSRC found = FindResourceA(Module, MAKEINTRESOURCEA(id), type);
        if (!found)
            return nullptr;
        if (size)
            *size = SizeofResource(Module, found);
        return static_cast<const BYTE*>(LockResource(LoadResource(Module, found)));
    }

    TDialogTemplate Dialog(int id)
    {
        TDialogTemplate t;
        DWORD size = 0;
        const BYTE* data = Resource(RT_DIALOG, id, &size);
        EXPECT_NE(nullptr, data);
        if (!data)
            return t;
        EXPECT_NE(0xFFFF, reinterpret_cast<const WORD*>(data)[1]) << "expected a classic template";
        ReadDialogTemplate(data, size, t);
        return t;
    }

    HMODULE Module = nullptr;
    std::string Current;
};

void ExpectControl(const TTemplateControl& c, WORD id, const char* cls, const std::string& text, DWORD style, short x,
                   short y, short cx, short cy)
{
    SCOPED_TRACE("control " + std::to_string(static_cast<short>(id)));
    EXPECT_EQ(id, c.Id);
    // The resource compiler stores a class name in capitals; Windows
    // compares class names without regard to case.
    EXPECT_EQ(0, lstrcmpiA(cls, c.Class.c_str())) << c.Class;
    EXPECT_EQ(text, c.Text);
    EXPECT_EQ(style, c.Style);
    EXPECT_EQ(x, c.X);
    EXPECT_EQ(y, c.Y);
    EXPECT_EQ(cx, c.Cx);
    EXPECT_EQ(cy, c.Cy);
}

struct TBitmapInfo {
    LONG Width, Height;
    WORD BitCount;
};

TBitmapInfo BitmapOf(const BYTE* data)
{
    auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    return TBitmapInfo{header->biWidth, header->biHeight, header->biBitCount};
}
} // namespace

TEST_F(ExeResources, FormTemplate)
{
    ForEachExe([&] {
        TDialogTemplate t = Dialog(2000);
        EXPECT_EQ(0x80C000C0u, t.Style);
        EXPECT_EQ(6, t.X);
        EXPECT_EQ(15, t.Y);
        EXPECT_EQ(341, t.Cx);
        EXPECT_EQ(256, t.Cy);
        EXPECT_FALSE(t.HasMenu);
        EXPECT_EQ(MainWindowTitle, t.Caption);
        EXPECT_EQ(9, t.PointSize);
        EXPECT_EQ("宋体", t.Face);
        ASSERT_EQ(5u, t.Controls.size());
        ExpectControl(t.Controls[0], 102, "static", "#102", 0x5000000E, 240, 4, 107, 67);
        ExpectControl(t.Controls[1], 1, "button", "确认", 0x50010001, 272, 220, 50, 14);
        ExpectControl(t.Controls[2], 2, "button", "取消", 0x50010000, 272, 236, 50, 14);
        ExpectControl(t.Controls[3], 101, "SysTreeView32", "TreeView1", 0x50800007, 4, 4, 248, 244);
        ExpectControl(t.Controls[4], 0xFFFF, "static", "    请用鼠标左銉选择要删除的项目", 0x50000000, 260, 128, 76, 44);
    });
}

TEST_F(ExeResources, ConfirmationTemplate)
{
    ForEachExe([&] {
        TDialogTemplate t = Dialog(1);
        EXPECT_EQ(0x90C800C4u, t.Style);
        EXPECT_EQ(49, t.X);
        EXPECT_EQ(16, t.Y);
        EXPECT_EQ(240, t.Cx);
        EXPECT_EQ(179, t.Cy);
        EXPECT_FALSE(t.HasMenu);
        EXPECT_EQ(ConfirmTitle, t.Caption);
        EXPECT_EQ(9, t.PointSize);
        EXPECT_EQ("宋体", t.Face);
        ASSERT_EQ(5u, t.Controls.size());
        ExpectControl(t.Controls[0], 1, "button", "确认", 0x50010300, 61, 160, 50, 14);
        ExpectControl(t.Controls[1], 2, "button", "取消", 0x50010300, 129, 160, 50, 14);
        ExpectControl(t.Controls[2], 101, "edit", "", 0x50A10804, 4, 16, 232, 120);
        ExpectControl(t.Controls[3], 0xFFFF, "static", "将删除以下项目，请确认。", 0x50000000, 4, 5, 216, 8);
        ExpectControl(t.Controls[4], 102, "static",
                      "    此操作使用不当将删除您的有用文档，请小心操作，没有把握请按“取消”。", 0x50000000, 4, 139,
                      228, 16);
    });
}

// Programs that hold files about to go: 重试 is the default button and the
// first tab stop (Enter looks again), 取消 is IDCANCEL (Esc and the close box).
TEST_F(ExeResources, HoldersTemplate)
{
    ForEachExe([&] {
        TDialogTemplate t = Dialog(3);
        EXPECT_EQ(0x90C800C4u, t.Style);
        EXPECT_EQ(40, t.X);
        EXPECT_EQ(24, t.Y);
        EXPECT_EQ(260, t.Cx);
        EXPECT_EQ(174, t.Cy);
        EXPECT_FALSE(t.HasMenu);
        EXPECT_EQ(HoldersTitle, t.Caption);
        EXPECT_EQ(9, t.PointSize);
        EXPECT_EQ("宋体", t.Face);
        ASSERT_EQ(7u, t.Controls.size());
        ExpectControl(t.Controls[0], IDOK, "button", "重试", 0x50010301, 9, 154, 56, 14);
        ExpectControl(t.Controls[1], 104, "button", "关闭程序", 0x50010300, 71, 154, 56, 14);
        ExpectControl(t.Controls[2], IDIGNORE, "button", "忽略", 0x50010300, 133, 154, 56, 14);
        ExpectControl(t.Controls[3], IDCANCEL, "button", "取消", 0x50010300, 195, 154, 56, 14);
        ExpectControl(t.Controls[4], 103, "static", "以下程序正在使用将要删除的文件：", 0x50000000, 6, 6, 248, 8);
        ExpectControl(t.Controls[5], 101, "edit", "", 0x50A10804, 6, 17, 248, 90);
        ExpectControl(t.Controls[6], 0xFFFF, "static",
                      "请保存工作并退出这些程序，然后按“重试”。按“关闭程序”将请它们自行退出（服务不会被关闭）；"
                      "按“忽略”继续卸载，仍在使用的文件将在重新启动计算机后删除；按“取消”则不删除任何项目。",
                      0x50000000, 6, 112, 248, 36);
    });
}

TEST_F(ExeResources, Pictures)
{
    ForEachExe([&] {
        // At 100 %, and drawn for 150 % and 200 % under ids 10000 and 20000 higher.
        struct {
            int Id;
            TBitmapInfo Expected;
        } pictures[] = {{102, {160, 100, 8}},     {400, {80, 16, 4}},      {5072, {480, 16, 4}},
                        {10102, {240, 150, 8}},   {10400, {120, 24, 4}},   {15072, {720, 24, 4}},
                        {20102, {320, 200, 8}},   {20400, {160, 32, 4}},   {25072, {960, 32, 4}}};
        for (auto& picture : pictures) {
            const BYTE* data = Resource(RT_BITMAP, picture.Id);
            ASSERT_NE(nullptr, data) << picture.Id;
            TBitmapInfo info = BitmapOf(data);
            EXPECT_EQ(picture.Expected.Width, info.Width) << picture.Id;
            EXPECT_EQ(picture.Expected.Height, info.Height) << picture.Id;
            EXPECT_EQ(picture.Expected.BitCount, info.BitCount) << picture.Id;
        }
    });
}

TEST_F(ExeResources, IconGroupsHoldOneSixteenColourImageEach)
{
    ForEachExe([&] {
        // 32 x 32 at 100 %; drawn for 150 % and 200 % under ids 10000 and 20000 higher.
        const struct {
            int Id, Size;
        } groups[] = {{1001, 32}, {11001, 48}, {21001, 64}};
        for (const auto& group : groups) {
            SCOPED_TRACE(group.Id);
            const BYTE* data = Resource(RT_GROUP_ICON, group.Id);
            ASSERT_NE(nullptr, data);
            auto* words = reinterpret_cast<const WORD*>(data);
            ASSERT_EQ(1, words[2]); // image count
            const BYTE* entry = data + 6;
            EXPECT_EQ(group.Size, entry[0]);
            EXPECT_EQ(group.Size, entry[1]);
            EXPECT_EQ(16, entry[2]);
            WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);
            const BYTE* image = Resource(RT_ICON, imageId);
            ASSERT_NE(nullptr, image);
            auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
            EXPECT_EQ(group.Size, header->biWidth);
            EXPECT_EQ(2 * group.Size, header->biHeight); // colour bits and the transparency mask
            EXPECT_EQ(4, header->biBitCount);
        }
    });
}

// A named function: on i686 a lambda does not convert to a stdcall callback.
BOOL CALLBACK StopAtFirstName(HMODULE, LPCSTR, LPSTR, LONG_PTR)
{
    return FALSE;
}

TEST_F(ExeResources, NoMenu)
{
    ForEachExe([&] { EXPECT_FALSE(EnumResourceNamesA(Module, RT_MENU, &StopAtFirstName, 0)); });
}

TEST_F(ExeResources, ManifestAsksForAdministratorCommonControls6AndEachMonitorsDpi)
{
    ForEachExe([&] {
        DWORD size = 0;
        const BYTE* data = Resource(RT_MANIFEST, 1, &size);
        ASSERT_NE(nullptr, data);
        std::string manifest(reinterpret_cast<const char*>(data), size);
        EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
        EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
        EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
        EXPECT_NE(std::string::npos, manifest.find("supportedOS"));
        // Per-monitor awareness where the system has it, system awareness before.
        EXPECT_NE(std::string::npos, manifest.find(">true/pm</dpiAware>"));
        EXPECT_NE(std::string::npos, manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    });
}

TEST_F(ExeResources, VersionBlock)
{
    ForEachExe([&] {
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(Current.c_str(), &handle);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(Current.c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
        EXPECT_EQ(0u, fixed->dwFileVersionLS);
        EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
        EXPECT_EQ(0u, fixed->dwProductVersionLS);
        EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                   &length));
        ASSERT_EQ(4u, length);
        EXPECT_EQ(0x0409, translation[0]);
        EXPECT_EQ(0x04E4, translation[1]);

        const char* fields[][2] = {{"CompanyName", "Orlaquin"},       {"FileDescription", "UnInstall for Windows"},
                                   {"FileVersion", "1.0"},            {"InternalName", "UnInstall"},
                                   {"OriginalFilename", "UnInstall.exe"}, {"ProductName", "UnInstall"},
                                   {"ProductVersion", "1.0"}};
        for (auto& field : fields) {
            char* value = nullptr;
            std::string path = std::string("\\StringFileInfo\\040904E4\\") + field[0];
            ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
                << field[0];
            EXPECT_STREQ(field[1], value) << field[0];
        }
    });
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        Exes.push_back(argv[i]);
    if (Exes.empty()) {
        std::fprintf(stderr, "usage: uz_exe_tests <exe>...\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
