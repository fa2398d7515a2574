#pragma once
#include "../framework/TApplication.h"

class TUnInstallApp : public TApplication {
public:
    TUnInstallApp();

protected:
    void InitMainWindow() override;
};
