// The character-boundary searches in GBK texts.
//
// Input: one byte, the character to look for; then the text; a zero byte;
// then the text to find.
#include "../catalogue/Gbk.h"
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const char ch = static_cast<char>(data[0]);
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string text = AsCString(rest);
    const std::string needle = text.size() < rest.size() ? AsCString(rest.substr(text.size() + 1)) : std::string();
    std::unique_ptr<char[]> exactText = ExactCString(text);
    std::unique_ptr<char[]> exactNeedle = ExactCString(needle);
    const std::vector<bool> starts = CharacterStarts(text);

    // The first match that begins and ends on character boundaries.
    long found = FindText(exactText.get(), exactNeedle.get());
    long expected = needle.empty() ? 0 : -1;
    for (size_t i = 0; expected < 0 && i + needle.size() <= text.size(); ++i)
        if (starts[i] && starts[i + needle.size()] && text.compare(i, needle.size(), needle) == 0)
            expected = static_cast<long>(i);
    UZ_CHECK(found == expected);

    // The last place where `ch` is a character of its own.
    long last = FindLastChar(exactText.get(), ch);
    if (!IsLead(ch)) {
        long expectedLast = -1;
        for (size_t i = 0; i < text.size(); ++i)
            if (starts[i] && text[i] == ch)
                expectedLast = static_cast<long>(i);
        UZ_CHECK(last == expectedLast);
    } else if (last >= 0) {
        // A lead byte is no single-byte character; the search may only
        // ever stop at the start of a character.
        UZ_CHECK(static_cast<size_t>(last) < text.size() && starts[last] && text[last] == ch);
    }

    // Whether the last character is `ch` alone.
    bool endsWith = EndsWithChar(exactText.get(), ch);
    bool lastIsCh = !text.empty() && starts[text.size() - 1] && text.back() == ch;
    UZ_CHECK(endsWith == lastIsCh);
    return 0;
}
