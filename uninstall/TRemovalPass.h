#pragma once
#include "../catalogue/TLinkedStrings.h"
#include "TDeleter.h"
#include "TRegKey.h"
#include "TRemovalContext.h"
#include "TRemovalReport.h"
#include <string>
#include <vector>

// The removal of what the user chose. Construction opens the keys the pass
// holds and reads the shell folders; the keys close in the reverse order.
// Every deletion is recorded in the report. The catalogues must be filled.
// No window code here.
class TRemovalPass {
public:
    explicit TRemovalPass(const TRemovalContext& context);
    TRemovalPass(const TRemovalPass&) = delete;
    TRemovalPass& operator=(const TRemovalPass&) = delete;

    enum TItemKind { QuotaLibrary, CatalogedProduct, SharedLibraries, History, UncatalogedProduct };

    // Classifies and removes each text, in order.
    void RemoveAll(const std::vector<std::string>& chosen);
    // The kind of a chosen text; for a quota library also its INI value (up
    // to 1023 bytes, so one too long for a path shows as such), for
    // a catalogued product or the shared libraries also its catalogue row.
    TItemKind Classify(const std::string& text, std::string* iniValue = nullptr,
                       const TLinkedStrings** record = nullptr) const;

    const TRemovalReport& GetReport() const { return Report; }

private:
    void Remove(const std::string& text);
    void RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath);
    void RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record);
    void RemoveSharedLibraries(const std::string& fileList);
    void RemoveHistory();
    void RemoveUncatalogedProduct(const std::string& text);
    void DeleteHistoryFile(const std::string& folder, const char* name);
    void DeleteUninstallEntry(const std::string& name);
    // Says why a product's uninstall entry stays: it leads back to files that stayed.
    void KeepUninstallEntry(const std::string& name);

    TRemovalContext Context;
    TRemovalReport Report;
    TDeleter Deleter;
    TRegKey UserShellFolders;
    TRegKey MachineShellFolders;
    TRegKey UninstallKey;
    TRegKey SettingsKey;
    std::string DesktopFolder;
    std::string UserProgramsFolder;
    std::string ProgramsFolder;
    // How many document-type keys went; the shell is told once when any did.
    int AssociationsRemoved = 0;
};

extern const char CompletionMessage[];
extern const char CompletionCaption[];
extern const char ShellFoldersPath[];
extern const char SettingsKeyPath[];
extern const char MakerKeyPath[];
