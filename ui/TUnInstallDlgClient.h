#pragma once
#include "../framework/TDialog.h"
#include <string>
#include <vector>

class TChoiceTree;
class TMyTreeWnd;
class TProgramState;
class TRunLog;
struct TCommandLine;

// The form: the selection tree and the two buttons. Set-up finds what is
// installed and fills the tree; "确认" runs the uninstall command.
class TUnInstallDlgClient : public TDialog {
public:
    // `state`: the program's own, kept by the application.
    TUnInstallDlgClient(TWindow* parent, int resId, TProgramState& state, TModule* module = nullptr);
    ~TUnInstallDlgClient() override;

    void SetupWindow() override;

    void CmUninstall();
    void RemoveChosenItems(const std::vector<std::string>& chosen);

    // Set before the window exists, from the command line: the choice the
    // tree opens with, which goes straight to the confirmation; and the log
    // the removal is written to. Either may be null.
    void StartWith(const TCommandLine* choice, TRunLog* log);

private:
    // Asks about programs that still hold what is about to be removed;
    // false when the user backs out, and nothing is removed.
    bool LetGoOfFiles(const std::vector<std::string>& chosen);
    // Draws the tree: every item with the folder pictures and its state.
    void FillTree(const TChoiceTree& tree);

    TProgramState& State;
    TMyTreeWnd* Tree;
    const TCommandLine* StartChoice = nullptr;
    TRunLog* Log = nullptr;

    DECLARE_RESPONSE_TABLE(TUnInstallDlgClient);
};
