#pragma once
#include "../catalogue/TLinkedStrings.h"
#include "RemoveProductFiles.h"
#include "TDeleter.h"
#include "TRegKey.h"
#include "TRemovalContext.h"
#include "TRemovalReport.h"
#include "TRemovalTargets.h"
#include <string>
#include <vector>

// The removal of what the user chose. Construction opens the keys the pass
// holds and reads the shell folders; the keys close in the reverse order.
// Each item has its machine-wide parts (files, the machine's keys, INI
// entries, the common program group) and its per-user parts (the desktop,
// the user's own Programs folder, the documents folder, the user's keys):
// the current user's, right after the machine's, or, when the context asks
// for every profile, each profile's once the machine's are all done.
// Every deletion is recorded in the report. The catalogues must be filled.
// No window code here.
class TRemovalPass {
public:
    // With `found`, RemoveAll removes nothing: it walks the choice as it
    // would remove it and adds to `found` what it would delete (the files,
    // and the products' installation folders), leaving the registry, the
    // INI file and every file and folder as they are.
    explicit TRemovalPass(const TRemovalContext& context, TRemovalTargets* found = nullptr);
    TRemovalPass(const TRemovalPass&) = delete;
    TRemovalPass& operator=(const TRemovalPass&) = delete;

    enum TItemKind { QuotaLibrary, CatalogedProduct, SharedLibraries, History, UncatalogedProduct };

    // Classifies and removes each text, in order.
    void RemoveAll(const std::vector<std::string>& chosen);
    // What RemoveAll would delete, found by the same walk.
    static TRemovalTargets FindTargets(const TRemovalContext& context, const std::vector<std::string>& chosen);
    // Each line of the report also goes to `log` as it happens.
    void LogTo(TRemovalReport::TLineSink& log) { Report.TellLinesTo(&log); }
    // The kind of a chosen text; for a quota library also its INI value (up
    // to 1023 bytes, so one too long for a path shows as such), for
    // a catalogued product or the shared libraries also its catalogue row.
    TItemKind Classify(const std::string& text, std::string* iniValue = nullptr,
                       const TLinkedStrings** record = nullptr) const;

    const TRemovalReport& GetReport() const { return Report; }

private:
    // Whose per-user parts are removed: the current user, through
    // HKEY_CURRENT_USER and its shell folders, or one user's profile.
    struct TUser {
        std::string RootName; // how the report spells the root of the user's keys
        HKEY Root;
        bool CreatesKeys;     // the current user's keys open in open-or-create mode
        TBaseFolder Desktop, Programs, Documents;
        TUserClasses Classes; // the user's own file associations
        // Folders refused for another user's profile: not visited at all.
        bool DesktopShut = false, ProgramsShut = false, DocumentsShut = false;
    };
    // What an item's per-user parts need of what its machine-wide parts found.
    struct TUserWork {
        TItemKind Kind = SharedLibraries;
        std::string Text;
        bool HasSpec = false; // a product whose files were gone after, or a library's samples
        std::string Spec, Group;
        std::string LibraryShortcut;
        bool LibraryShortcutGone = false;
    };

    TUserWork Remove(const std::string& text);
    void RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath, TUserWork& work);
    void RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record, TUserWork& work);
    // A product's machine-wide files, and its entry unless files of it could not be tried.
    void RemoveProduct(const std::string& text, const std::string& spec, const std::string& group,
                       const std::string& installDir, TUserWork& work);
    void RemoveSharedLibraries(const std::string& fileList);
    void RemoveUncatalogedProduct(const std::string& text, TUserWork& work);
    void RemoveForUser(const TUserWork& work, const TUser& user);
    void RemoveForEveryProfile(const std::vector<TUserWork>& works);
    void RemoveHistoryForUser(const TUser& user);
    // The user's key at `path`: made if missing for the current user, as
    // always; in another user's hive only opened, never made. A link there
    // opens as the link itself. False when it is not open: missing, or
    // refused, which is reported.
    bool OpenUserKey(TRegKey& key, const TUser& user, const char* path);
    // A quota library's shortcut in `programs`\ZOLT 工程预算; true when it went.
    bool DeleteLibraryShortcut(const TBaseFolder& programs, const std::string& name);
    void DeleteHistoryFile(const TBaseFolder& folder, const char* name);
    // The parts of a spec that are a user's: the desktop, and the group
    // when the machine has no common Programs folder.
    int UserSpecParts() const;
    // Those of them in folders of `user`'s that are visited.
    int UserSpecParts(const TUser& user) const;
    // Opens a product's uninstall entry to read it; false, and said, when it is not there.
    bool OpenUninstallEntry(TRegKey& entry, const std::string& name);
    void DeleteUninstallEntry(const std::string& name);
    // Says why a product's uninstall entry stays: it leads back to files that stayed.
    void KeepUninstallEntry(const std::string& name);

    TRemovalContext Context;
    // Not null when the pass only finds what it would delete.
    TRemovalTargets* Found;
    TRemovalReport Report;
    TDeleter Deleter;
    TRegKey UserShellFolders;
    TRegKey MachineShellFolders;
    TRegKey UninstallKey;
    TRegKey SettingsKey;
    TUser CurrentUser;
    // The machine's "Common Programs"; empty when it cannot be read, and
    // then each user's own Programs folder serves.
    TBaseFolder CommonPrograms;
    // How many document-type keys went; the shell is told once when any did.
    int AssociationsRemoved = 0;
};

extern const char CompletionMessage[];
extern const char CompletionCaption[];
extern const char ShellFoldersPath[];
extern const char SettingsKeyPath[];
extern const char MakerKeyPath[];
