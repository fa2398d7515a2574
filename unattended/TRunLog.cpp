#include "TRunLog.h"
#include "../machine/TProcessToken.h"
#include "../machine/TWidePath.h"

namespace {
// Where a folder is, spelled out: long names for short ones, the case as
// stored; empty when it cannot be told.
TWidePath LongFolder(const TWidePath& folder)
{
    wchar_t buffer[MAX_PATH];
    DWORD length = ::GetLongPathNameW(folder.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? TWidePath(buffer, length) : TWidePath();
}
} // namespace

TRunLog::~TRunLog()
{
    if (IsOpen())
        ::CloseHandle(File);
}

bool TRunLog::Open(const std::string& path)
{
    // Run elevated, the program must not be led into appending to some other
    // file: the log goes where it was asked to go, past no link, and is made
    // there, or is a plain file of its own that a trusted account made.
    TWidePath name = TWidePath::Full(path);
    if (name.empty())
        return false;
    TWidePath folder = LongFolder(name.Parent());
    if (folder.empty() || !TWidePath::FinalOfPath(folder).IsSame(folder))
        return false;
    HANDLE file = ::CreateFileW(name.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    // Another user may have made it beforehand, to read what it tells or to
    // write lines of their own into it.
    if (!IsPlainFile(file, name) || !TWidePath::FinalOf(file).Parent().IsSame(folder) ||
        (existed && !TProcessToken().Trusts(file, true))) {
        ::CloseHandle(file);
        return false;
    }
    if (IsOpen())
        ::CloseHandle(File);
    File = file;
    return true;
}

bool TRunLog::IsPlainFile(HANDLE file, const TWidePath& name)
{
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!::GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) ||
        !::GetFileInformationByHandle(file, &information))
        return false;
    // By name too: Wine follows a link even when asked not to, but shows it as one.
    DWORD byName = ::GetFileAttributesW(name.c_str());
    DWORD attributes = tag.FileAttributes | (byName == INVALID_FILE_ATTRIBUTES ? 0 : byName);
    // A second name for the file would be a way to some other file; so
    // would a link Wine shows as none, whose file has a name of its own.
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
           information.nNumberOfLinks == 1 && TWidePath::FinalOf(file).Name().IsSame(name.Name());
}

void TRunLog::Write(const std::string& text)
{
    if (!IsOpen() || text.empty())
        return;
    std::string bytes = ToUtf8(text);
    DWORD written = 0;
    ::WriteFile(File, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void TRunLog::WriteStamped(const std::string& line)
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    // Built by hand: the printf family would bring its whole formatter along.
    auto two = [](unsigned value) { return std::string(1, char('0' + value / 10 % 10)) + char('0' + value % 10); };
    std::string stamp = std::to_string(now.wYear) + "-" + two(now.wMonth) + "-" + two(now.wDay) + " " +
                        two(now.wHour) + ":" + two(now.wMinute) + ":" + two(now.wSecond) + " ";
    Write(stamp + line + "\r\n");
}

void TRunLog::WriteSummary(const TRemovalReport& report)
{
    WriteStamped("Summary: " + report.Summary());
    if (size_t waiting = report.Count(TRemovalReport::Scheduled))
        WriteStamped(std::to_string(waiting) +
                     " files and folders wait for the next restart; restart the computer to finish the removal.");
}

void TRunLog::WriteHolders(const std::vector<THolder>& holders)
{
    if (holders.empty())
        return;
    WriteStamped("Programs still running hold files to be removed; what they hold goes at the next restart:");
    for (const THolder& holder : holders) {
        const char* kind = holder.Kind == THolder::Service ? "service " : "";
        std::string text = std::string("  ") + kind + "process " + std::to_string(holder.ProcessId) + " " +
                           (holder.Program.empty() ? "(program file not known)" : holder.Program);
        if (!holder.Name.empty())
            text += " (" + holder.Name + ")";
        text += "\r\n";
        for (const std::string& file : holder.Files)
            text += "    holds " + file + "\r\n";
        Write(text);
    }
}

std::vector<wchar_t> TRunLog::ToUtf16(const std::string& text)
{
    int length = text.empty() ? 0
                              : ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<wchar_t> utf16(static_cast<size_t>(length > 0 ? length : 0));
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), utf16.data(), length);
    return utf16;
}

std::string TRunLog::ToUtf8(const std::string& text)
{
    std::vector<wchar_t> utf16 = ToUtf16(text);
    int wide = static_cast<int>(utf16.size());
    if (wide == 0)
        return std::string();
    int size = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, &utf8[0], size, nullptr, nullptr);
    return utf8;
}
