#include "TUnInstallApp.h"

int main(int, char**)
{
    TUnInstallApp app;
    return app.Run();
}
