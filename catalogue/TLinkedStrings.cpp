#include "TLinkedStrings.h"

uint32_t HashString(const std::string& text)
{
    uint32_t h = static_cast<uint32_t>(text.size());
    size_t i = 0;
    for (; i + 4 <= text.size(); i += 4) {
        uint32_t group = 0;
        for (size_t k = 0; k < 4; ++k)
            group |= static_cast<uint32_t>(static_cast<unsigned char>(text[i + k])) << (8 * k);
        h ^= group;
    }
    uint32_t rest = 0;
    for (size_t k = 0; i + k < text.size(); ++k)
        rest |= static_cast<uint32_t>(static_cast<unsigned char>(text[i + k])) << (8 * k);
    return h ^ rest;
}

uint32_t TLinkedStrings::HashValue() const
{
    return HashString(Name);
}
