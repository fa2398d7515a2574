#include "TRemovalReport.h"

namespace {
const char* OutcomeName(TRemovalReport::TOutcome outcome)
{
    switch (outcome) {
    case TRemovalReport::Deleted:
        return "deleted  ";
    case TRemovalReport::NotFound:
        return "not found";
    case TRemovalReport::Kept:
        return "kept     ";
    case TRemovalReport::Scheduled:
        return "scheduled";
    default:
        return "failed   ";
    }
}

const char* TargetName(TRemovalReport::TTarget target)
{
    switch (target) {
    case TRemovalReport::File:
        return "file     ";
    case TRemovalReport::Shortcut:
        return "shortcut ";
    case TRemovalReport::Folder:
        return "folder   ";
    case TRemovalReport::Key:
        return "key      ";
    default:
        return "INI entry";
    }
}

// Why, as the log says it and as the box says it to the user (the box names
// only what is left for the user), in the order of TReason.
struct TReasonTexts {
    const char* Log;
    const char* Box;
};
const TReasonTexts ReasonTexts[] = {
    {"", ""},
    {"a link: not followed", "（是链接，未删除）"},
    {"not inside the folder it belongs to", "（不在所属文件夹内）"},
    {"the path is too long", "（路径过长）"},
    {"not a full path", "（不是完整路径）"},
    {"cannot name a registry key", "（不能作为注册表项名）"},
    {"its folder is not known", "（所在文件夹不明）"},
    {"the uninstall entry lacks InstallPath, ProgramGroup or progs", "（卸载信息不全，未删除其文件）"},
    {"the uninstall entry names no installation folder", "（卸载信息不全，未删除其文件）"},
    {"not a document-type name", "（文件类型名无效）"},
    {"not a folder inside the programs folder", "（程序组名无效）"},
    {"a link; what it leads to stays", ""},
    {"the only way back to files that stayed", ""},
    {"the user's hive could not be loaded: nothing of this user's was removed", "（无法打开该用户的配置，其中的项目未删除）"},
    {"the user's hive would not unload; it stays loaded until the restart", ""},
    {"link, removed as a link", ""},
    {"no such profile", ""},
    {"not a folder of this machine's own disks: not visited", ""},
    {"outside the user's profile folder: not visited", ""},
    {"its name has characters this program cannot write: not tried", "（名称含无法识别的字符，未删除）"},
    {"the user's own file associations could not be loaded: none of them was removed",
     "（无法打开该用户的文件关联，未删除）"},
};
static_assert(sizeof ReasonTexts / sizeof ReasonTexts[0] == TRemovalReport::ClassesNotOpened + 1,
              "a text for every reason");

std::string Note(const TRemovalReport::TRecord& record)
{
    std::string error = record.Error ? "error " + std::to_string(record.Error) : std::string();
    std::string reason = ReasonTexts[record.Reason].Log;
    std::string both = error.empty() ? reason : reason.empty() ? error : error + "; " + reason;
    switch (record.Outcome) {
    case TRemovalReport::Kept:
        if (!reason.empty())
            return " (" + reason + ")";
        return record.Target == TRemovalReport::Folder ? " (not empty)" : " (the running uninstaller)";
    case TRemovalReport::Scheduled:
        return " (" + (error.empty() ? std::string() : error + "; ") + "goes at the next restart)";
    case TRemovalReport::Failed:
        return both.empty() ? std::string() : " (" + both + ")";
    default:
        return reason.empty() ? std::string() : " (" + reason + ")";
    }
}
} // namespace

void TRemovalReport::BeginItem(const std::string& text)
{
    ItemTexts.push_back(text);
    Head(CurrentItem());
}

void TRemovalReport::BeginSection(const std::string& title)
{
    ItemTexts.push_back(title);
    ++Sections;
    Head(CurrentItem());
}

void TRemovalReport::Head(size_t item)
{
    if (!Sink || item == Headed || item == NoItem)
        return;
    // An earlier item comes back when the folders that waited are done at the end.
    bool again = item < CurrentItem();
    Sink->Write((again ? "Finishing " : "Removing ") + ItemTexts[item] + "\r\n");
    Headed = item;
}

void TRemovalReport::Add(TTarget target, TOutcome outcome, const std::string& name, unsigned long error,
                         TReason reason)
{
    AddTo(CurrentItem(), target, outcome, name, error, reason);
}

void TRemovalReport::AddTo(size_t item, TTarget target, TOutcome outcome, const std::string& name,
                           unsigned long error, TReason reason)
{
    Entries.push_back(TRecord{target, outcome, name, error, item, reason});
    if (!Sink)
        return;
    Head(item);
    const TRecord& record = Entries.back();
    Sink->Write(std::string("  ") + OutcomeName(record.Outcome) + "  " + TargetName(record.Target) + "  " +
                record.Name + Note(record) + "\r\n");
}

size_t TRemovalReport::Count(TOutcome outcome) const
{
    size_t n = 0;
    for (const TRecord& record : Entries)
        n += record.Outcome == outcome;
    return n;
}

std::string TRemovalReport::DescribeLeftovers(size_t maxLines) const
{
    std::string text = "卸载已经完成，但有些项目现在无法删除。\r\n";
    size_t listed = 0;
    size_t unlisted = 0;
    // Folders scheduled behind the files in them are no leftovers of their own.
    auto shown = [](const TRecord& record, TOutcome outcome) {
        return record.Outcome == outcome && !(outcome == Scheduled && record.Target == Folder);
    };
    auto listGroup = [&](TOutcome outcome, const char* heading) {
        size_t count = 0;
        for (const TRecord& record : Entries)
            count += shown(record, outcome);
        if (count == 0)
            return;
        text += "\r\n";
        text += heading;
        text += "（共 " + std::to_string(count) + " 项）：\r\n";
        for (const TRecord& record : Entries) {
            if (!shown(record, outcome))
                continue;
            if (listed < maxLines) {
                text += "    " + record.Name + ReasonTexts[record.Reason].Box + "\r\n";
                ++listed;
            } else {
                ++unlisted;
            }
        }
    };
    listGroup(Failed, "以下项目需要您手动删除");
    listGroup(Scheduled, "以下项目将在重新启动计算机后删除");
    if (unlisted > 0)
        text += "    ……另有 " + std::to_string(unlisted) + " 项未列出。\r\n";
    if (Count(Scheduled) > 0)
        text += "\r\n请在方便时重新启动计算机。";
    return text;
}

std::string TRemovalReport::Summary() const
{
    return std::to_string(ItemTexts.size() - Sections) + " items removed: " + std::to_string(Count(Deleted)) + " deleted, " +
           std::to_string(Count(NotFound)) + " not found, " + std::to_string(Count(Kept)) + " kept, " +
           std::to_string(Count(Scheduled)) + " scheduled for the restart, " + std::to_string(Count(Failed)) +
           " failed";
}
