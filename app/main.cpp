#include "TUnInstallApp.h"

int main(int, char**)
{
    try {
        TUnInstallApp app;
        return app.Run();
    } catch (...) {
        return 1;
    }
}
