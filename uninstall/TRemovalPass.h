#pragma once
#include "../catalogue/TLinkedStrings.h"
#include "../framework/TRegKey.h"
#include <string>
#include <vector>

// The removal of what the user chose. Construction fills the quota-library
// catalogue, opens the keys the pass holds and reads the shell folders;
// destruction closes the keys in the reverse order. No window code here.
class TRemovalPass {
public:
    TRemovalPass();
    ~TRemovalPass();
    TRemovalPass(const TRemovalPass&) = delete;
    TRemovalPass& operator=(const TRemovalPass&) = delete;

    enum TItemKind { QuotaLibrary, CatalogedProduct, SharedLibraries, History, UncatalogedProduct };

    // Classifies and removes each text, in order.
    void RemoveAll(const std::vector<std::string>& chosen);
    // The kind of a chosen text; for a quota library also its INI value, for
    // a catalogued product or the shared libraries also its catalogue row.
    TItemKind Classify(const std::string& text, std::string* iniValue = nullptr,
                       const TLinkedStrings** record = nullptr) const;
    void Remove(const std::string& text);

    const std::string& GetDesktopFolder() const { return DesktopFolder; }
    const std::string& GetUserProgramsFolder() const { return UserProgramsFolder; }
    const std::string& GetProgramsFolder() const { return ProgramsFolder; }
    // How many document-type keys went; the shell is told once when any did.
    int GetAssociationsRemoved() const { return AssociationsRemoved; }

private:
    void RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath);
    void RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record);
    void RemoveSharedLibraries(const std::string& fileList);
    void RemoveHistory();
    void RemoveUncatalogedProduct(const std::string& text);
    void DeleteUninstallEntry(const std::string& name);

    TRegKey UserShellFolders;
    TRegKey MachineShellFolders;
    TRegKey UninstallKey;
    TRegKey SettingsKey;
    std::string DesktopFolder;
    std::string UserProgramsFolder;
    std::string ProgramsFolder;
    int AssociationsRemoved = 0;
};

extern const char CompletionMessage[];
extern const char CompletionCaption[];
