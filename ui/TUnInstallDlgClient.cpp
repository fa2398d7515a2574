#include "TUnInstallDlgClient.h"
#include "../app/GlobalBlock.h"
#include "../catalogue/Catalogue.h"
#include "../framework/TApplication.h"
#include "../res/resource.h"
#include "../uninstall/TInstalledItems.h"
#include "../uninstall/TRemovalPass.h"
#include "TChosenItems.h"
#include "TMsgDlg.h"
#include "TMyTreeWnd.h"
#include "TShowWait.h"

namespace {
const int ClosedFolderImage = 7;
const int OpenFolderImage = 8;
} // namespace

DEFINE_RESPONSE_TABLE1(TUnInstallDlgClient, TDialog)
    EV_COMMAND(IDOK, TUnInstallDlgClient, CmUninstall),
END_RESPONSE_TABLE;

TUnInstallDlgClient::TUnInstallDlgClient(TWindow* parent, int resId, TModule* module)
    : TDialog(parent, resId, module), Tree(new TMyTreeWnd(this, IDC_TREE))
{
}

TUnInstallDlgClient::~TUnInstallDlgClient()
{
    if (Handle)
        Destroy();
}

void TUnInstallDlgClient::SetupWindow()
{
    TDialog::SetupWindow();
    ::GetWindowsDirectoryA(WindowsDir, sizeof WindowsDir);
    ::GetSystemDirectoryA(SystemDir, sizeof SystemDir);
    FillCatalogues();
    FillTree(TInstalledItems::Discover(SystemDirs()));
}

void TUnInstallDlgClient::FillTree(const TInstalledItems& found)
{
    TTreeNode root = Tree->GetRoot();
    TTreeNode programs = root.AddChild(ProgramsHeadingText, ClosedFolderImage, OpenFolderImage);
    for (const std::string& product : found.Products) {
        TTreeNode item = programs.AddChild(product.c_str(), ClosedFolderImage, OpenFolderImage);
        Tree->SetCheckState(item.GetHandle(), Chosen);
    }
    if (found.SharedLibraries) {
        TTreeNode shared = programs.AddChild(SharedLibraryItemText, ClosedFolderImage, OpenFolderImage);
        Tree->SetCheckState(shared.GetHandle(), NotChosen);
        programs.Expand(TVE_EXPAND);
        Tree->SetCheckState(programs.GetHandle(), found.Products.empty() ? NotChosen : PartlyChosen);
    }
    if (!found.QuotaLibraries.empty()) {
        TTreeNode quota = root.AddChild(QuotaLibrariesHeadingText, ClosedFolderImage, OpenFolderImage);
        Tree->SetCheckState(quota.GetHandle(), Chosen);
        for (const std::string& library : found.QuotaLibraries) {
            TTreeNode item = quota.AddChild(library.c_str(), ClosedFolderImage, OpenFolderImage);
            Tree->SetCheckState(item.GetHandle(), Chosen);
        }
        quota.Expand(TVE_EXPAND);
    }
    TTreeNode history = root.AddChild(HistoryItemText, ClosedFolderImage, OpenFolderImage);
    Tree->SetCheckState(history.GetHandle(), NotChosen);
}

void TUnInstallDlgClient::CmUninstall()
{
    TChosenItems choice = TChosenItems::Collect(*Tree);
    CompleteRemovalFlag = choice.CompleteRemoval ? 1 : 0;

    TMsgDlg dialog(this, IDD_CONFIRM);
    dialog.ConfirmationText = choice.ConfirmationText.c_str();
    if (dialog.RunModal() == IDOK)
        RemoveChosenItems(choice.Items);
}

void TUnInstallDlgClient::RemoveChosenItems(const std::vector<std::string>& chosen)
{
    TShowWait wait;
    TRemovalContext context;
    context.Dirs = SystemDirs();
    context.CompleteRemoval = CompleteRemovalFlag == 1;
    context.OwnFile = TModule::Program().GetFileName();
    TRemovalPass pass(context);
    pass.RemoveAll(chosen);

    // The plain ending only when everything went; otherwise say what stayed.
    const TRemovalReport& report = pass.GetReport();
    std::string leftovers = report.IsComplete() ? std::string() : report.DescribeLeftovers();
    const char* text = leftovers.empty() ? CompletionMessage : leftovers.c_str();
    UINT type = leftovers.empty() ? MB_OK : MB_OK | MB_ICONWARNING;
    if (TApplication* app = TApplication::Current())
        app->MessageBox(Handle, text, CompletionCaption, type);
    else
        ::MessageBoxA(Handle, text, CompletionCaption, type);
    CloseWindow(IDOK);
}

TSystemDirs TUnInstallDlgClient::SystemDirs()
{
    return TSystemDirs{WindowsDir, SystemDir};
}
