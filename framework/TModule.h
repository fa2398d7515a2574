#pragma once
#include <windows.h>
#include <string>

// A module whose resources the program uses: by default the program itself.
class TModule {
public:
    explicit TModule(HINSTANCE instance) : Instance(instance) {}
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    HINSTANCE GetInstance() const { return Instance; }
    HICON LoadIcon(int resId) const;
    // The module's file, however long its path.
    std::string GetFileName() const;

    // The program's own module, the one every "no module" argument means.
    static TModule& Program();

private:
    HINSTANCE Instance;
};
