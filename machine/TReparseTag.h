#pragma once
#include <windows.h>

// What the tag of a reparse point says of the file or folder that carries it.
class TReparseTag {
public:
    // It keeps the file's own data elsewhere instead of leading to another
    // file (cloud placeholders, a desktop kept in a cloud folder; the
    // system's compression and deduplication): deleting it deletes that file.
    static bool KeepsData(DWORD tag);
    // A junction or mount point: it leads to a volume of this machine only.
    static bool IsMountPoint(DWORD tag) { return tag == IO_REPARSE_TAG_MOUNT_POINT; }
};
