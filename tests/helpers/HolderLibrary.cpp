// A DLL of nothing, for uz-holder.exe to load from a product's folder.
#include <windows.h>

extern "C" __declspec(dllexport) int UzHolderLibrary()
{
    return 1;
}
