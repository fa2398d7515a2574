#include "TUnInstallApp.h"
#include "../res/resource.h"
#include "TSDIDecFrame.h"

namespace {
const char ApplicationName[] = "弈辰软件卸载程序";
}

TUnInstallApp::TUnInstallApp() : TApplication(ApplicationName, &TModule::Program())
{
}

void TUnInstallApp::InitMainWindow()
{
    auto* frame = new TSDIDecFrame(nullptr, GetName().c_str(), nullptr, true, nullptr);
    frame->SetShrinkToClient(true);
    frame->SetIcon(&GetModule(), IDI_PROGRAM);
    SetMainWindow(frame);
}
