#include "TModule.h"

HICON TModule::LoadIcon(int resId) const
{
    return ::LoadIconA(Instance, MAKEINTRESOURCEA(resId));
}

TModule& TModule::Program()
{
    static TModule program(::GetModuleHandleA(nullptr));
    return program;
}
