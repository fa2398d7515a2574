#pragma once
#include <cstddef>
#include <string>
#include <vector>

// What the removal pass did to each thing it went for, item by item: what
// the completion box, the log and the exit code are made from.
class TRemovalReport {
public:
    enum TTarget { File, Shortcut, Folder, Key, IniEntry };
    enum TOutcome {
        Deleted,
        NotFound,
        // Left on purpose: a folder that still holds something, or the
        // running program's own file.
        Kept,
        // Could not go now; the system deletes it at the next restart.
        Scheduled,
        // Could not go, and will not go by itself.
        Failed,
    };
    // Why something was not even tried, or why it was kept; the system's
    // error code says the rest.
    enum TReason {
        NoReason,
        Link,            // a link below its folder: never followed, never deleted
        Outside,         // it does not lie in the folder it was named under
        TooLong,         // the path does not fit
        NotAbsolute,     // a path that would depend on the current directory
        NotAKeyName,     // the text cannot name a registry key
        NoFolder,        // the folder it lies in is not known
        MissingValues,   // the uninstall entry lacks a value removal needs
        NoInstallFolder, // the uninstall entry names no installation folder
        BadDocumentType, // a document-type name that would name another key
        BadGroup,        // a program group that is no folder inside the programs folder
        FolderIsLink,    // kept: the folder itself is a link; what it leads to stays
        WayBack,         // kept: the only way back to files that stayed
        ProfileNotOpened, // a user's hive could not be loaded: nothing of that user's went
        HiveStaysLoaded, // a user's hive we loaded would not unload
        RemovedAsLink,   // a registry link: deleted as the link, what it leads to stays
        NoSuchProfile,   // a profile listed whose folder or hive is gone
        NotLocal,        // a user's folder on the network, a device, or past a link: not visited
        OutsideProfile,  // a user's folder outside that user's profile folder: not visited
        NotWritable,     // a name with characters the program's code page has no form for
        ClassesNotOpened, // a user's own classes could not be loaded: none of their document types went
    };

    // Hears each line of the log the moment the heading or record it tells
    // of is added, so a log keeps pace with the removal: whatever ends the
    // run, what was done up to then is written.
    class TLineSink {
    public:
        virtual void Write(const std::string& text) = 0;

    protected:
        ~TLineSink() = default;
    };

    struct TRecord {
        TTarget Target;
        TOutcome Outcome;
        std::string Name;       // a path, or a key or INI entry written out in full
        unsigned long Error;    // the system's error code, for Scheduled and Failed
        size_t Item;            // index into Items(), or NoItem
        TReason Reason;
    };
    static const size_t NoItem = static_cast<size_t>(-1);

    // From now on each heading and record is told to `sink` as a log line.
    void TellLinesTo(TLineSink* sink) { Sink = sink; }

    // The chosen item whose removal the records that follow belong to.
    void BeginItem(const std::string& text);
    // A part of the work that is no item of its own, as one user's profile:
    // the records that follow belong to it.
    void BeginSection(const std::string& title);
    void Add(TTarget target, TOutcome outcome, const std::string& name, unsigned long error = 0,
             TReason reason = NoReason);
    // What could not even be tried, as a failure with its reason; `error`
    // when the system said why.
    void StepOver(TTarget target, const std::string& name, TReason reason, unsigned long error = 0)
    {
        Add(target, Failed, name, error, reason);
    }
    // A record that belongs to an earlier item (`item`, as CurrentItem gave it).
    void AddTo(size_t item, TTarget target, TOutcome outcome, const std::string& name, unsigned long error = 0,
               TReason reason = NoReason);
    size_t CurrentItem() const { return ItemTexts.empty() ? NoItem : ItemTexts.size() - 1; }

    const std::vector<std::string>& Items() const { return ItemTexts; }
    const std::vector<TRecord>& Records() const { return Entries; }
    size_t Count(TOutcome outcome) const;

    // Nothing failed and nothing waits for a restart: the plain ending.
    bool IsComplete() const { return Count(Failed) == 0 && Count(Scheduled) == 0; }

    // The completion box's text when something stayed: what must be removed
    // by hand and what goes at the restart, at most `maxLines` of them.
    std::string DescribeLeftovers(size_t maxLines = 15) const;

    // One line: how many items, and how many things went, stayed or wait.
    std::string Summary() const;

private:
    // Tells the sink that `item`'s records follow, unless its were the last.
    void Head(size_t item);

    std::vector<std::string> ItemTexts;
    size_t Sections = 0;
    std::vector<TRecord> Entries;
    TLineSink* Sink = nullptr;
    // Whose heading the sink heard last.
    size_t Headed = NoItem;
};
