#pragma once
#include <windows.h>
#include "TRemovalReport.h"
#include "TWidePath.h"
#include <string>
#include <vector>

// The log an administrator asks for with /log: text appended to a file as
// UTF-8, whatever code page the program's own texts are in. The file is
// closed by the destructor.
class TRunLog {
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
    void Write(const std::string& text);
    // A line that starts with the local date and time.
    void WriteStamped(const std::string& line);
    // Every record of a removal pass, then its summary.
    void WriteRemoval(const TRemovalReport& report);

    // Text in the program's code page as UTF-16, and as UTF-8.
    static std::vector<wchar_t> ToUtf16(const std::string& text);
    static std::string ToUtf8(const std::string& text);

private:
    static bool IsPlainFile(HANDLE file, const TWidePath& name);

    HANDLE File = INVALID_HANDLE_VALUE;
};
