#include "TWidePath.h"
#include "THandle.h"
#include <utility>

namespace {
bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool SameText(const wchar_t* a, const wchar_t* b, size_t length)
{
    return length == 0 ||
           ::CompareStringOrdinal(a, static_cast<int>(length), b, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}
} // namespace

TWidePath::TWidePath(const wchar_t* text, size_t length) : Text(new wchar_t[length + 1]), Length(length)
{
    if (length > 0)
        ::CopyMemory(Text, text, length * sizeof(wchar_t));
    Text[length] = L'\0';
}

TWidePath& TWidePath::operator=(const TWidePath& other)
{
    if (this != &other) {
        TWidePath copy(other);
        std::swap(Text, copy.Text);
        std::swap(Length, copy.Length);
    }
    return *this;
}

TWidePath TWidePath::OfLength(size_t length)
{
    TWidePath path;
    path.Text = new wchar_t[length + 1]();
    path.Length = length;
    return path;
}

TWidePath TWidePath::FromCodePage(UINT codePage, const std::string& text)
{
    int length = text.empty() ? 0 : ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                                           static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return TWidePath();
    TWidePath path = OfLength(static_cast<size_t>(length));
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), path.Text,
                          length);
    return path;
}

TWidePath TWidePath::FromAnsi(const std::string& text)
{
    return FromCodePage(CP_ACP, text);
}

TWidePath TWidePath::FromUtf8(const std::string& text)
{
    return FromCodePage(CP_UTF8, text);
}

TWidePath TWidePath::Full(const std::string& text)
{
    return FullOf(FromAnsi(text));
}

TWidePath TWidePath::FullOf(const TWidePath& given)
{
    if (given.empty())
        return TWidePath();
    DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return TWidePath();
    TWidePath full = OfLength(size);
    size = ::GetFullPathNameW(given.c_str(), size + 1, full.Text, nullptr);
    if (size == 0 || size > full.Length)
        return TWidePath();
    // "C:\" and "\\server\share\" keep the separator that makes them a root.
    while (size > 3 && IsSeparator(full.Text[size - 1]))
        --size;
    return TWidePath(full.Text, size);
}

TWidePath TWidePath::FromFinal(const wchar_t* reported)
{
    size_t length = static_cast<size_t>(::lstrlenW(reported));
    const wchar_t* rest = reported;
    bool share = length >= 8 && SameText(rest, L"\\\\?\\UNC\\", 8);
    if (share) {
        rest += 6; // keeps "\\" of "UNC\\": "\\?\UNC\server" is "\\server"
        length -= 6;
    } else if (length >= 4 && SameText(rest, L"\\\\?\\", 4)) {
        rest += 4;
        length -= 4;
    }
    while (length > 3 && IsSeparator(rest[length - 1]))
        --length;
    TWidePath path(rest, length);
    if (share)
        path.Text[0] = L'\\';
    return path;
}

TWidePath TWidePath::FinalOf(HANDLE file)
{
    DWORD capacity = MAX_PATH;
    for (;;) {
        TWidePath reported = OfLength(capacity);
        DWORD size = ::GetFinalPathNameByHandleW(file, reported.Text, capacity + 1,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (size == 0)
            return TWidePath();
        if (size <= capacity)
            return FromFinal(reported.Text);
        capacity = size;
    }
}

TWidePath TWidePath::FinalOfPath(const TWidePath& path, DWORD* error)
{
    THandle handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.IsOpen()) {
        if (error)
            *error = ::GetLastError();
        return TWidePath();
    }
    TWidePath final = FinalOf(handle);
    if (error)
        *error = final.empty() ? ::GetLastError() : ERROR_SUCCESS;
    return final;
}

bool TWidePath::IsSame(const TWidePath& other) const
{
    return size() == other.size() && SameText(c_str(), other.c_str(), size());
}

bool TWidePath::Contains(const TWidePath& inner) const
{
    if (empty())
        return false;
    bool rooted = IsSeparator(Text[Length - 1]);
    if (inner.size() <= Length + (rooted ? 0 : 1) || !SameText(c_str(), inner.c_str(), Length))
        return false;
    return rooted || IsSeparator(inner.Text[Length]);
}

TWidePath TWidePath::Parent() const
{
    size_t last = Length;
    while (last > 0 && !IsSeparator(Text[last - 1]))
        --last;
    if (last == 0 || last == Length)
        return TWidePath();
    // "C:\x" lies in "C:\", which keeps its separator; "C:\a\x" in "C:\a".
    size_t end = (last == 3 && Text[1] == L':') ? last : last - 1;
    return end == 0 ? TWidePath() : TWidePath(Text, end);
}

TWidePath TWidePath::Name() const
{
    size_t last = Length;
    while (last > 0 && !IsSeparator(Text[last - 1]))
        --last;
    return TWidePath(Text ? Text + last : L"", Length - last);
}

TWidePath TWidePath::Join(const wchar_t* name) const
{
    size_t added = static_cast<size_t>(::lstrlenW(name));
    bool separator = Length > 0 && !IsSeparator(Text[Length - 1]);
    TWidePath joined = OfLength(Length + (separator ? 1 : 0) + added);
    if (Length > 0)
        ::CopyMemory(joined.Text, Text, Length * sizeof(wchar_t));
    if (separator)
        joined.Text[Length] = L'\\';
    ::CopyMemory(joined.Text + Length + (separator ? 1 : 0), name, added * sizeof(wchar_t));
    return joined;
}

TWidePath TWidePath::Append(const TWidePath& tail) const
{
    TWidePath joined = OfLength(Length + tail.Length);
    if (Length > 0)
        ::CopyMemory(joined.Text, Text, Length * sizeof(wchar_t));
    if (tail.Length > 0)
        ::CopyMemory(joined.Text + Length, tail.Text, tail.Length * sizeof(wchar_t));
    return joined;
}

bool TWidePath::HasWildcard() const
{
    for (size_t i = 0; i < Length; ++i)
        if (Text[i] == L'*' || Text[i] == L'?')
            return true;
    return false;
}

size_t TWidePath::Depth() const
{
    size_t depth = 0;
    for (size_t i = 0; i < Length; ++i)
        depth += IsSeparator(Text[i]);
    return depth;
}

std::string TWidePath::ToCodePage(UINT codePage) const
{
    if (empty())
        return std::string();
    int size = ::WideCharToMultiByte(codePage, 0, Text, static_cast<int>(Length), nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, Text, static_cast<int>(Length), &text[0], size, nullptr, nullptr);
    return text;
}

std::string TWidePath::ToAnsiLossy() const
{
    return ToCodePage(CP_ACP);
}

std::string TWidePath::ToUtf8() const
{
    return ToCodePage(CP_UTF8);
}

std::string TWidePath::ToAnsi() const
{
    if (empty())
        return std::string();
    BOOL lossy = FALSE;
    int size = ::WideCharToMultiByte(CP_ACP, 0, Text, static_cast<int>(Length), nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy)
        return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, Text, static_cast<int>(Length), &text[0], size, nullptr, nullptr);
    return text;
}
