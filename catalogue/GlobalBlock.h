#pragma once
#include "THashTableImp.h"
#include "TLinkedStrings.h"

// Paths are built in buffers of this size, terminating zero included.
const unsigned PathBufferSize = 256;

// The Windows and system directories, without a trailing backslash.
extern char WindowsDir[PathBufferSize];
extern char SystemDir[PathBufferSize];

// 1 when every tree item was chosen at the last run of the uninstall command.
extern unsigned char CompleteRemovalFlag;

extern THashTableImp<TLinkedStrings> ProductCatalogue;
extern THashTableImp<TLinkedStrings> QuotaLibraryCatalogue;
