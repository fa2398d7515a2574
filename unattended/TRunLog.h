#pragma once
#include <windows.h>
#include "../door/TRemovalReport.h"
#include "../holders/TFileHolders.h"
#include "../machine/TWidePath.h"
#include <string>
#include <vector>

// The log an administrator asks for with /log: text appended to a file as
// UTF-8, whatever code page the program's own texts are in, each piece as
// it comes. The file is closed by the destructor.
class TRunLog : public TRemovalReport::TLineSink {
public:
    TRunLog() = default;
    ~TRunLog();
    TRunLog(const TRunLog&) = delete;
    TRunLog& operator=(const TRunLog&) = delete;

    // Opens `path` for appending, making it if need be; false when it cannot,
    // or when a folder or a link is at that path.
    bool Open(const std::string& path);
    bool IsOpen() const { return File != INVALID_HANDLE_VALUE; }

    // Appends text in the program's code page; each line ends in "\r\n".
    void Write(const std::string& text) override;
    // A line that starts with the local date and time.
    void WriteStamped(const std::string& line);
    // The summary of a removal whose records were written as they came.
    void WriteSummary(const TRemovalReport& report);
    // The processes that hold files about to be removed, and which files.
    void WriteHolders(const std::vector<THolder>& holders);

    // Text in the program's code page as UTF-16, and as UTF-8.
    static std::vector<wchar_t> ToUtf16(const std::string& text);
    static std::string ToUtf8(const std::string& text);

private:
    static bool IsPlainFile(HANDLE file, const TWidePath& name);

    HANDLE File = INVALID_HANDLE_VALUE;
};
