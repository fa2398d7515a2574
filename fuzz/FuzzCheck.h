#pragma once
// What the fuzz targets hold the parsing code to. The checks here are
// written from the rules of the formats, not from the code's own steps, so
// that they do not just repeat its mistakes.
#include "../catalogue/TFileListSpec.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// A broken rule aborts, so libFuzzer keeps the input as a finding.
#define UZ_CHECK(condition)                                                                            \
    do {                                                                                               \
        if (!(condition)) {                                                                            \
            std::fprintf(stderr, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);              \
            std::abort();                                                                              \
        }                                                                                              \
    } while (0)

namespace fuzz {

inline bool IsLead(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x81 && u <= 0xFE;
}

// Where the characters of `text` start, walked from its first byte, plus its
// end: a lead byte and the byte after it are one character; a lead byte with
// nothing after it is a character of its own.
inline std::vector<bool> CharacterStarts(const std::string& text)
{
    std::vector<bool> starts(text.size() + 1, false);
    size_t i = 0;
    while (i < text.size()) {
        starts[i] = true;
        i += (IsLead(text[i]) && i + 1 < text.size()) ? 2 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

// Whether `text` holds the single-byte character `ch` as a character, not
// as the trail byte of a two-byte one.
inline bool HoldsCharacter(const std::string& text, char ch)
{
    std::vector<bool> starts = CharacterStarts(text);
    for (size_t i = 0; i < text.size(); ++i)
        if (starts[i] && starts[i + 1] && text[i] == ch)
            return true;
    return false;
}

// The text as a Windows function sees it: up to its first zero byte.
inline std::string AsCString(const std::string& text)
{
    return std::string(text.c_str());
}

// A copy in a heap block of exactly its bytes and a zero, so that a read
// past the zero is a read past the block.
inline std::unique_ptr<char[]> ExactCString(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// The text of a fixed key buffer; it must end inside the buffer.
inline std::string KeyText(const char (&key)[16])
{
    const void* end = std::memchr(key, '\0', sizeof key);
    UZ_CHECK(end != nullptr);
    return std::string(key, static_cast<const char*>(end));
}

// The document-type keys of `name`: made exactly when the name, as the
// registry sees it, is 1 to MaxDocumentTypeLength bytes with no "\"
// character; then ".N" and "NFile", never "." or "File", never with a "\"
// character, never past their 16 bytes.
inline void CheckDocumentTypeKeys(const std::string& name)
{
    // Each key alone in a heap block of its own 16 bytes.
    std::unique_ptr<char[][16]> dotKey(new char[1][16]);
    std::unique_ptr<char[][16]> fileKey(new char[1][16]);
    std::memset(dotKey[0], 0x5C, 16);
    std::memset(fileKey[0], 0x5C, 16);
    bool made = TFileListSpec::DocumentTypeKeys(name, dotKey[0], fileKey[0]);

    const std::string seen = AsCString(name);
    bool acceptable = !seen.empty() && seen.size() <= TFileListSpec::MaxDocumentTypeLength &&
                      !HoldsCharacter(seen, '\\');
    UZ_CHECK(made == acceptable);
    if (!made)
        return;
    const std::string dot = KeyText(dotKey[0]);
    const std::string file = KeyText(fileKey[0]);
    UZ_CHECK(dot != "." && file != "File");
    UZ_CHECK(!HoldsCharacter(dot, '\\') && !HoldsCharacter(file, '\\'));
    UZ_CHECK(dot == "." + seen);
    UZ_CHECK(file == seen + "File");
}

// The "|"-separated names of an extension list: none holds a "|"
// character, and joined with "|" they give the list back.
inline std::vector<std::string> CheckedDocumentTypes(const std::string& extensionList)
{
    std::vector<std::string> names = TFileListSpec::SplitDocumentTypes(extensionList);
    if (extensionList.empty()) {
        UZ_CHECK(names.empty());
        return names;
    }
    std::string joined;
    for (size_t i = 0; i < names.size(); ++i) {
        UZ_CHECK(!HoldsCharacter(names[i], '|'));
        joined += (i ? "|" : "") + names[i];
    }
    UZ_CHECK(joined == extensionList);
    return names;
}

} // namespace fuzz
