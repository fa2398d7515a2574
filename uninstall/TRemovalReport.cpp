#include "TRemovalReport.h"

void TRemovalReport::BeginItem(const std::string& text)
{
    ItemTexts.push_back(text);
}

void TRemovalReport::Add(TTarget target, TOutcome outcome, const std::string& name, unsigned long error)
{
    Entries.push_back(TRecord{target, outcome, name, error, ItemTexts.empty() ? NoItem : ItemTexts.size() - 1});
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
                text += "    " + record.Name + "\r\n";
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
