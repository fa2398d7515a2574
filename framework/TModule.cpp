#include "TModule.h"

HICON TModule::LoadIcon(int resId) const
{
    return ::LoadIconA(Instance, MAKEINTRESOURCEA(resId));
}

std::string TModule::GetFileName() const
{
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::string name(size, '\0');
        DWORD length = ::GetModuleFileNameA(Instance, &name[0], size);
        if (length == 0)
            return std::string();
        if (length < size) {
            name.resize(length);
            return name;
        }
    }
}

TModule& TModule::Program()
{
    static TModule program(::GetModuleHandleA(nullptr));
    return program;
}
