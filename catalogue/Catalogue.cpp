#include "Catalogue.h"

THashTableImp<TLinkedStrings> ProductCatalogue;
THashTableImp<TLinkedStrings> QuotaLibraryCatalogue;

const char SharedLibraryItemText[] = "ZOLT共享动态联接库DLL";
const char ProgramsHeadingText[] = "程序";
const char QuotaLibrariesHeadingText[] = "定额库";
const char HistoryItemText[] = "注册表中历史记录，台帐";

namespace {
const TLinkedStrings ProductRows[] = {
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
    {"ZOLT清单计价演示版", "ZOLT 工程预算", "LORN_DEMO.exe=ZOLT 清单计价 演示版;LORN_DEMO.EXE=ZOLT 清单计价演示版;", 0},
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
    {"ZOLT共享动态联接库DLL", "", "$y\\bds52f.dll=;$y\\cw3230.dll=;$y\\owl52f.dll=;$y\\GridPort.dll=;$y\\PageViewDlg.dll=;",
     1},
};

const TLinkedStrings QuotaLibraryRows[] = {
    {"全国统一安装工程预算定额湖北2000估价表", "ZOLT2000年全统安装定额库湖北估价表", "", 0},
    {"全统建筑基础定额湖北2000基价表", "ZOLT湖北2000建筑定额库", "2000湖北省建筑工程预算定额", 0},
};
} // namespace

void FillCatalogues()
{
    static bool filled = false;
    if (filled)
        return;
    filled = true;
    for (const TLinkedStrings& row : ProductRows)
        ProductCatalogue.Add(row);
    for (const TLinkedStrings& row : QuotaLibraryRows)
        QuotaLibraryCatalogue.Add(row);
}
