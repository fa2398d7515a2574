#pragma once
#include "../catalogue/TLinkedStrings.h"
#include "../door/TDoor.h"
#include "../machine/TBaseFolder.h"
#include "../machine/TRegKey.h"
#include "TRemovalContext.h"
#include <string>

// What a chosen text is, and the removal of its machine-wide parts: its
// files, the machine's keys and INI entries, the common program group and
// its uninstall entry. What its per-user parts need of that is handed back.
class TItemRemoval {
public:
    enum TItemKind { QuotaLibrary, CatalogedProduct, SharedLibraries, History, UncatalogedProduct };

    // What an item's per-user parts need of what its machine-wide parts found.
    struct TUserWork {
        TItemKind Kind = SharedLibraries;
        std::string Text;
        bool HasSpec = false; // a product whose files were gone after, or a library's samples
        std::string Spec, Group;
        std::string LibraryShortcut;
        bool LibraryShortcutGone = false;
    };

    // `userParts`: the parts of a spec that are each user's (TSpecParts).
    // With `found`, nothing of the registry or the INI file is touched.
    TItemRemoval(const TRemovalContext& context, TDoor& door, const TBaseFolder& commonPrograms, int userParts,
                 TRemovalTargets* found);
    TItemRemoval(const TItemRemoval&) = delete;
    TItemRemoval& operator=(const TItemRemoval&) = delete;

    // The kind of a chosen text; for a quota library also its INI value (up
    // to 1023 bytes, so one too long for a path shows as such), for
    // a catalogued product or the shared libraries also its catalogue row.
    static TItemKind Classify(const std::string& text, std::string* iniValue = nullptr,
                              const TLinkedStrings** record = nullptr);

    // Removes the machine-wide parts of the item `text`.
    TUserWork Remove(const std::string& text);

    // How many document-type keys went.
    int AssociationsRemoved() const { return Associations; }

private:
    void RemoveQuotaLibrary(const std::string& text, const std::string& libraryPath, TUserWork& work);
    void RemoveCatalogedProduct(const std::string& text, const TLinkedStrings& record, TUserWork& work);
    // A product's machine-wide files, and its entry unless files of it could not be tried.
    void RemoveProduct(const std::string& text, const std::string& spec, const std::string& group,
                       const std::string& installDir, TUserWork& work);
    void RemoveSharedLibraries(const std::string& fileList);
    void RemoveUncatalogedProduct(const std::string& text, TUserWork& work);
    // Opens a product's uninstall entry to read it; false, and said, when
    // the text names no key or there is no such entry.
    bool OpenUninstallEntry(TRegKey& entry, const std::string& name);
    void DeleteUninstallEntry(const std::string& name);
    // Says why a product's uninstall entry stays: it leads back to files that stayed.
    void KeepUninstallEntry(const std::string& name);

    const TRemovalContext& Context;
    TDoor& Door;
    const TBaseFolder& CommonPrograms;
    const int MachineSpecParts;
    TRemovalTargets* Found;
    TRegKey UninstallKey;
    int Associations = 0;
};
