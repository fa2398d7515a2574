#pragma once
#include "../catalogue/TSystemDirs.h"
#include "../framework/TDialog.h"
#include <string>
#include <vector>

class TMyTreeWnd;
struct TInstalledItems;

// The form: the selection tree and the two buttons. Set-up finds what is
// installed and fills the tree; "确认" runs the uninstall command.
class TUnInstallDlgClient : public TDialog {
public:
    TUnInstallDlgClient(TWindow* parent, int resId, TModule* module = nullptr);
    ~TUnInstallDlgClient() override;

    void SetupWindow() override;

    void CmUninstall();
    void RemoveChosenItems(const std::vector<std::string>& chosen);

    // Builds the tree for what was found; the images and states are fixed.
    void FillTree(const TInstalledItems& found);

private:
    // The directories set-up stored in the global block.
    static TSystemDirs SystemDirs();

    TMyTreeWnd* Tree;

    DECLARE_RESPONSE_TABLE(TUnInstallDlgClient);
};
