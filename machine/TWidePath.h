#pragma once
#include <windows.h>
#include <string>

// A path as the file system sees it, in UTF-16, for telling where a path
// really leads. Comparisons are ordinal and ignore case, as NTFS names do.
// (Held in a buffer of its own: a std::wstring would link a second string
// class, and a vector of wchar_t crashes GCC 12's i686 link-time optimiser.)
class TWidePath {
public:
    TWidePath() = default;
    explicit TWidePath(const wchar_t* text) : TWidePath(text, static_cast<size_t>(::lstrlenW(text))) {}
    TWidePath(const wchar_t* text, size_t length);
    ~TWidePath() { delete[] Text; }
    TWidePath(const TWidePath& other) : TWidePath(other.c_str(), other.size()) {}
    TWidePath(TWidePath&& other) noexcept : Text(other.Text), Length(other.Length)
    {
        other.Text = nullptr;
        other.Length = 0;
    }
    TWidePath& operator=(const TWidePath& other);

    // Text in the program's code page; empty when it does not convert.
    static TWidePath FromAnsi(const std::string& text);
    // Text in UTF-8, which holds every name whole.
    static TWidePath FromUtf8(const std::string& text);
    // The full path: "." and ".." resolved, "/" made "\", and no trailing
    // separator except a root's own.
    static TWidePath Full(const std::string& path);
    static TWidePath FullOf(const TWidePath& path);
    // What GetFinalPathNameByHandleW reports, made a plain path again:
    // "\\?\C:\x" is "C:\x", "\\?\UNC\server\share" is "\\server\share".
    static TWidePath FromFinal(const wchar_t* reported);
    // Where an open file or folder really is; empty when the system cannot say.
    static TWidePath FinalOf(HANDLE file);
    // Where the file or folder at `path` really is, its links followed; empty,
    // with the error when asked for, when it cannot be opened.
    static TWidePath FinalOfPath(const TWidePath& path, DWORD* error = nullptr);

    const wchar_t* c_str() const { return Text ? Text : L""; }
    size_t size() const { return Length; }
    bool empty() const { return Length == 0; }

    bool IsSame(const TWidePath& other) const;
    // True when `inner` lies inside this folder, at any depth (not the folder itself).
    bool Contains(const TWidePath& inner) const;
    // The folder it lies in; empty for a root.
    TWidePath Parent() const;
    // The last part: the name of the file or folder itself.
    TWidePath Name() const;
    // This folder, "\" and a name.
    TWidePath Join(const wchar_t* name) const;
    // This text and `tail` after it, as they are.
    TWidePath Append(const TWidePath& tail) const;
    // How many separators it has: deeper paths have more.
    size_t Depth() const;
    // Back in the program's code page; empty when a character has no form there.
    std::string ToAnsi() const;
    // As Windows spells it for an ANSI program: "?" for what has no form there.
    std::string ToAnsiLossy() const;
    std::string ToUtf8() const;
    // Whether it holds "*" or "?", which no file name does.
    bool HasWildcard() const;

private:
    // A path of `length` zeros, to be written over.
    static TWidePath OfLength(size_t length);
    static TWidePath FromCodePage(UINT codePage, const std::string& text);
    std::string ToCodePage(UINT codePage) const;

    wchar_t* Text = nullptr; // ends in a zero when there is one
    size_t Length = 0;
};
