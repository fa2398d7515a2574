#include "../../catalogue/Catalogue.h"
#include "../../catalogue/TFileListSpec.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
struct TExpectedRow {
    const char* Name;
    const char* Group;
    const char* FileList;
    int32_t Shared;
};

const TExpectedRow ExpectedProducts[] = {
    {"ZOLT定额制版", "ZOLT 定额录入制版系统",
     "brisel.exe=ZOLT 定额录入制版系统,BRL;弈辰软件技术服务部.url=弈辰软件技术服务部;弈辰软件.url=弈辰软件;"
     "$w\\brisel.HLP=;text.brl=;index.brl=;pricetab.prc=;uninst\\udmain.exe=;uninst\\udenu.dll=;"
     "uninst\\udlog3.000=;",
     0},
    {"ZOLT工程预算", "ZOLT 工程预算",
     "vexa.exe=ZOLT 工程预算,YSB|DEK|JGK;$w\\vexa.hlp=ZOLT 工程预算帮助;弈辰软件技术服务部.url=弈辰软件技术服务部;"
     "弈辰软件.url=弈辰软件;常用.cfg=;工程预算封面.DOC=;工程预算封面.XLS=;16k纵排.cfg=;16k横排.cfg=;"
     "uninst\\udmain.exe=;uninst\\udenu.dll=;uninst\\udlog3.000=;",
     0},
    {"ZOLT计算簿", "ZOLT 工程预算",
     "TallyPad.EXE=ZOLT 计算簿,TPB|ZOLTSYB;函数说明.tpb=函数说明;工程量计算式.tpb=一个工程量计算实例;"
     "钢筋计算例子.tpb=一个钢筋计算的例子;$w\\TALLYPAD.HLP=;钢筋比重表.tpb=;梁、柱箍筋模板.tpb=;"
     "uninst\\udmain.exe=;uninst\\udenu.dll=;uninst\\udlog3.000=;",
     0},
    {"ZOLT清单计价演示版", "ZOLT 工程预算",
     "LORN_DEMO.exe=ZOLT 清单计价 演示版;LORN_DEMO.EXE=ZOLT 清单计价演示版;", 0},
    {"ZOLT工程预算演示版", "ZOLT 工程预算", "vexademo.exe=ZOLT 工程预算演示版;", 0},
    {"ZOLT工程预算免费版", "ZOLT 工程预算", "vexafree.exe=ZOLT 工程预算免费版;", 0},
    {"ZOLT网络计划", "ZOLT 网络计划",
     "netplan.exe=ZOLT 网络计划,WLT;example.wlt=ZOLT 网络计划例子;弈辰软件技术服务部.url=弈辰软件技术服务部;"
     "弈辰软件.url=弈辰软件;$w\\zoltnet.hlp=;uninst\\udmain.exe=;uninst\\udenu.dll=;uninst\\udlog3.000=;",
     0},
    {"ZOLT网络计划演示版", "ZOLT 网络计划", "netplan.exe=ZOLT 网络计划演示版;", 0},
    {"ZOLT清单计价系统", "ZOLT 工程预算",
     "lorn.exe=ZOLT 清单计价系统,QDBJB|QDMB;$w\\lorn.hlp=ZOLT 清单计价帮助;lorn.exe=ZOLT 清单计价;"
     "GB50500.CHM=建设工程工程量清单计价规范;弈辰软件技术服务部.url=弈辰软件技术服务部;弈辰软件.url=弈辰软件;"
     "常用.cfg=;工程预算封面QD.DOC=;工程预算封面QD.XLS=;16k纵排.cfg=;16k横排.cfg=;uninst\\udmain.exe=;"
     "uninst\\udenu.dll=;uninst\\udlog3.000=;",
     0},
    {"ZOLT共享动态联接库DLL", "",
     "$y\\bds52f.dll=;$y\\cw3230.dll=;$y\\owl52f.dll=;$y\\GridPort.dll=;$y\\PageViewDlg.dll=;", 1},
};

const TExpectedRow ExpectedQuotaLibraries[] = {
    {"全国统一安装工程预算定额湖北2000估价表", "ZOLT2000年全统安装定额库湖北估价表", "", 0},
    {"全统建筑基础定额湖北2000基价表", "ZOLT湖北2000建筑定额库", "2000湖北省建筑工程预算定额", 0},
};

const TLinkedStrings* FindProduct(const std::string& name)
{
    return ProductCatalogue.Find(TLinkedStrings::Key(name));
}

const TLinkedStrings* FindQuotaLibrary(const std::string& name)
{
    return QuotaLibraryCatalogue.Find(TLinkedStrings::Key(name));
}

// What the quota catalogue answered before it was filled.
struct TUnfilledQuotaCatalogue {
    bool Seen = false;
    size_t Count = 0;
    size_t NamesFound = 0;
};
TUnfilledQuotaCatalogue QuotaAtStart;

void LookAtQuotaCatalogue(TUnfilledQuotaCatalogue& seen)
{
    seen.Seen = true;
    seen.Count = QuotaLibraryCatalogue.GetItemsInContainer();
    for (const TExpectedRow& row : ExpectedQuotaLibraries)
        seen.NamesFound += FindQuotaLibrary(row.Name) != nullptr;
    for (const TExpectedRow& row : ExpectedProducts)
        seen.NamesFound += FindQuotaLibrary(row.Name) != nullptr;
    seen.NamesFound += FindQuotaLibrary("") != nullptr;
}

// The catalogues are process globals and the order of test files is the link
// order, so they are filled once here, before any test runs, after looking at
// the quota catalogue untouched.
class TCatalogueEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        LookAtQuotaCatalogue(QuotaAtStart);
        ASSERT_EQ(0u, ProductCatalogue.GetItemsInContainer()) << "something filled the catalogue before the tests";
        FillCatalogues();
        // Filled once: a second call adds nothing.
        FillCatalogues();
    }
};

::testing::Environment* const CatalogueEnvironment = ::testing::AddGlobalTestEnvironment(new TCatalogueEnvironment);

void ExpectRow(const TExpectedRow& expected, const TLinkedStrings* found)
{
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(std::string(expected.Name), found->Name);
    EXPECT_EQ(std::string(expected.Group), found->Group);
    EXPECT_EQ(std::string(expected.FileList), found->FileList);
    EXPECT_EQ(expected.Shared, found->Shared);
}
} // namespace

TEST(QuotaLibraryCatalogue, FindsNothingBeforeItIsFilled)
{
    ASSERT_TRUE(QuotaAtStart.Seen);
    EXPECT_EQ(0u, QuotaAtStart.Count);
    EXPECT_EQ(0u, QuotaAtStart.NamesFound);
}

TEST(QuotaLibraryCatalogue, HoldsTwoRows)
{
    EXPECT_EQ(2u, QuotaLibraryCatalogue.GetItemsInContainer());
}

TEST(QuotaLibraryCatalogue, EveryRowIsExact)
{
    for (const TExpectedRow& row : ExpectedQuotaLibraries) {
        SCOPED_TRACE(row.Group);
        ExpectRow(row, FindQuotaLibrary(row.Name));
    }
}

TEST(ProductCatalogue, HoldsTenRows)
{
    // Ten rows found by ten different names below means nothing else is in it.
    EXPECT_EQ(10u, ProductCatalogue.GetItemsInContainer());
}

TEST(ProductCatalogue, EveryRowIsExact)
{
    for (const TExpectedRow& row : ExpectedProducts) {
        SCOPED_TRACE(row.FileList);
        ExpectRow(row, FindProduct(row.Name));
    }
}

TEST(ProductCatalogue, HoldsNoQuotaLibraries)
{
    for (const TExpectedRow& row : ExpectedQuotaLibraries)
        EXPECT_EQ(nullptr, FindProduct(row.Name));
}

TEST(ProductCatalogue, TextsAreGbkBytes)
{
    // "ZOLT工程预算" in code page 936, spelled out so the test does not lean
    // on the compiler's character set.
    const TLinkedStrings* found = FindProduct("ZOLT\xB9\xA4\xB3\xCC\xD4\xA4\xCB\xE3");
    ASSERT_NE(nullptr, found);
    EXPECT_EQ("ZOLT \xB9\xA4\xB3\xCC\xD4\xA4\xCB\xE3", found->Group);
}

TEST(ProductCatalogue, FindsTheBudgetProgramByItsName)
{
    ExpectRow(ExpectedProducts[1], FindProduct("ZOLT工程预算"));
}

TEST(ProductCatalogue, LowerCaseNameFindsNothing)
{
    EXPECT_EQ(nullptr, FindProduct("zolt工程预算"));
}

TEST(ProductCatalogue, TrailingSpaceFindsNothing)
{
    EXPECT_EQ(nullptr, FindProduct("ZOLT工程预算 "));
}

TEST(ProductCatalogue, ListingSystemNamesItsProgramTwiceWithTwoShortcuts)
{
    const TLinkedStrings* row = FindProduct("ZOLT清单计价系统");
    ASSERT_NE(nullptr, row);
    std::vector<TFileListEntry> lorn;
    for (const TFileListEntry& entry : TFileListSpec::Parse(row->FileList))
        if (entry.FilePart == "lorn.exe")
            lorn.push_back(entry);
    ASSERT_EQ(2u, lorn.size());
    EXPECT_EQ("ZOLT 清单计价系统", lorn[0].Description);
    EXPECT_EQ("QDBJB|QDMB", lorn[0].ExtensionList);
    EXPECT_EQ("ZOLT 清单计价", lorn[1].Description);
    EXPECT_EQ("", lorn[1].ExtensionList);
}
