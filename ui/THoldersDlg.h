#pragma once
#include "../framework/TDialog.h"
#include "../holders/TFileHolders.h"
#include <string>
#include <vector>

// Shown when programs still hold files the removal is about to delete: it
// lists them and asks. "重试" looks again; "关闭程序" asks each listed program
// to close, as the system asks at shutdown (WM_CLOSE to its windows; nothing
// is ever ended by force), and looks again once they closed or ten seconds
// passed. The dialog ends with IDOK once nothing holds anything any more,
// IDIGNORE for "忽略" (what is held goes at the restart) and IDCANCEL for
// "取消", Esc and the close box.
class THoldersDlg : public TDialog {
public:
    THoldersDlg(TWindow* parent, const TFileHolders& lookUp, std::vector<THolder> holders);
    ~THoldersDlg() override;

    void SetupWindow() override;

    // Who held what when the dialog was last filled.
    const std::vector<THolder>& GetHolders() const { return Holders; }

    // How long the programs asked to close are waited for.
    static const DWORD CloseWaitMs = 10000;

protected:
    void CmRetry();
    void CmClosePrograms();
    void CmIgnore();
    LRESULT EvTimer(WPARAM, LPARAM);

private:
    void LookAgain();
    void Show();
    void EnableButtons(bool enable);
    void StopWaiting();

    const TFileHolders& LookUp;
    std::vector<THolder> Holders;
    // The template's heading, shown again once the wait is over.
    std::string Heading;
    // The programs asked to close, while they are waited for.
    std::vector<HANDLE> Closing;
    DWORD WaitStart = 0;
    bool Waiting = false;

    DECLARE_RESPONSE_TABLE(THoldersDlg);
};
