#pragma once
#include <string>

// The Windows and system directories, without a trailing "\": what "$w"
// and "$y" in a file list stand for. Empty when unknown.
struct TSystemDirs {
    std::string WindowsDir;
    std::string SystemDir;
};
