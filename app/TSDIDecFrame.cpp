#include "TSDIDecFrame.h"
#include "../res/resource.h"
#include "../ui/TUnInstallDlgClient.h"
#include "TGlobalBlock.h"

namespace {
TWindow* FormUnlessGiven(TWindow* client)
{
    return client ? client : new TUnInstallDlgClient(nullptr, IDD_CLIENT, GlobalBlock, nullptr);
}
} // namespace

TSDIDecFrame::TSDIDecFrame(TWindow* parent, const char* title, TWindow* client, bool trackMenuSelection,
                           TModule* module)
    : TDecoratedFrame(parent, title, FormUnlessGiven(client), trackMenuSelection, module)
{
    SetStyle(FrameStyle);
}
