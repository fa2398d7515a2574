#include "TUnInstallDlgClient.h"
#include "../catalogue/Catalogue.h"
#include "../framework/TApplication.h"
#include "../holders/TFileHolders.h"
#include "../installed/TChoiceTree.h"
#include "../installed/TInstalledItems.h"
#include "../removal/TRemovalPass.h"
#include "../res/resource.h"
#include "../unattended/TCommandLine.h"
#include "../unattended/TRunLog.h"
#include "TChosenItems.h"
#include "THoldersDlg.h"
#include "TMsgDlg.h"
#include "TMyTreeWnd.h"
#include "TProgramState.h"
#include "TShowWait.h"
#include <optional>

namespace {
const int ClosedFolderImage = 7;
const int OpenFolderImage = 8;
} // namespace

DEFINE_RESPONSE_TABLE1(TUnInstallDlgClient, TDialog)
    EV_COMMAND(IDOK, TUnInstallDlgClient, CmUninstall),
END_RESPONSE_TABLE;

TUnInstallDlgClient::TUnInstallDlgClient(TWindow* parent, int resId, TProgramState& state, TModule* module)
    : TDialog(parent, resId, module), State(state), Tree(new TMyTreeWnd(this, IDC_TREE))
{
}

TUnInstallDlgClient::~TUnInstallDlgClient()
{
    if (Handle)
        Destroy();
}

void TUnInstallDlgClient::StartWith(const TCommandLine* choice, TRunLog* log)
{
    StartChoice = choice;
    Log = log;
}

void TUnInstallDlgClient::SetupWindow()
{
    TDialog::SetupWindow();
    TSystemDirs dirs = State.ReadSystemDirs();
    FillCatalogues();
    TChoiceTree tree(TInstalledItems::Discover(dirs));
    if (StartChoice)
        tree.Choose(StartChoice->All, StartChoice->Items);
    FillTree(tree);
    if (StartChoice && StartChoice->ChoosesItems())
        ::PostMessageA(Handle, WM_COMMAND, IDOK, 0);
}

void TUnInstallDlgClient::FillTree(const TChoiceTree& tree)
{
    TTreeNode root = Tree->GetRoot();
    for (const TChoiceTree::TNode& node : tree.Roots()) {
        TTreeNode item = root.AddChild(node.Text.c_str(), ClosedFolderImage, OpenFolderImage);
        for (const TChoiceTree::TNode& child : node.Children) {
            TTreeNode below = item.AddChild(child.Text.c_str(), ClosedFolderImage, OpenFolderImage);
            Tree->SetCheckState(below.GetHandle(), child.State);
        }
        if (node.Expanded)
            item.Expand(TVE_EXPAND);
        if (node.State != NoBox)
            Tree->SetCheckState(item.GetHandle(), node.State);
    }
}

void TUnInstallDlgClient::CmUninstall()
{
    TChoice choice = TChosenItems::Collect(*Tree);
    State.SetCompleteRemoval(choice.CompleteRemoval);

    TMsgDlg dialog(this, IDD_CONFIRM);
    dialog.ConfirmationText = choice.ConfirmationText.c_str();
    if (dialog.RunModal() != IDOK)
        return;
    if (Log)
        Log->Write("Confirmed:\r\n" + choice.ConfirmationText);
    if (LetGoOfFiles(choice.Items))
        RemoveChosenItems(choice.Items);
}

bool TUnInstallDlgClient::LetGoOfFiles(const std::vector<std::string>& chosen)
{
    std::optional<TShowWait> wait(std::in_place);
    const TFileHolders lookUp(TRemovalPass::FindTargets(State.RemovalContext(), chosen));
    std::vector<THolder> held = lookUp.Look();
    wait.reset();
    if (held.empty())
        return true;
    THoldersDlg dialog(this, lookUp, held);
    int answer = dialog.RunModal();
    if (answer == IDCANCEL) {
        if (Log)
            Log->WriteStamped("Cancelled: programs still hold files to be removed; nothing was removed");
        return false;
    }
    if (Log)
        Log->WriteHolders(dialog.GetHolders());
    return true;
}

void TUnInstallDlgClient::RemoveChosenItems(const std::vector<std::string>& chosen)
{
    TShowWait wait;
    TRemovalPass pass(State.RemovalContext());
    if (Log)
        pass.LogTo(*Log);
    pass.RemoveAll(chosen);

    // The plain ending only when everything went; otherwise say what stayed.
    const TRemovalReport& report = pass.GetReport();
    if (Log)
        Log->WriteSummary(report);
    std::string leftovers = report.IsComplete() ? std::string() : report.DescribeLeftovers();
    const char* text = leftovers.empty() ? CompletionMessage : leftovers.c_str();
    UINT type = leftovers.empty() ? MB_OK : MB_OK | MB_ICONWARNING;
    if (TApplication* app = TApplication::Current())
        app->MessageBox(Handle, text, CompletionCaption, type);
    else
        ::MessageBoxA(Handle, text, CompletionCaption, type);
    CloseWindow(IDOK);
}
