#include "TReparseTag.h"

namespace {
const DWORD ReparseTagCloud = 0x9000001A; // and its variants 0x9000n01A
const DWORD ReparseTagWof = 0x80000017;
const DWORD ReparseTagDedup = 0x80000013;
} // namespace

bool TReparseTag::KeepsData(DWORD tag)
{
    return (tag & 0xFFFF0FFF) == ReparseTagCloud || tag == ReparseTagWof || tag == ReparseTagDedup;
}
