#include "TMsgDlg.h"
#include "../res/resource.h"

void TMsgDlg::SetupWindow()
{
    TDialog::SetupWindow();
    ::SetDlgItemTextA(Handle, IDC_CONFIRM_TEXT, ConfirmationText ? ConfirmationText : "");
}
