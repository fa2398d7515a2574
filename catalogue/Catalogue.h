#pragma once
#include "GlobalBlock.h"

void FillProductCatalogue();
void FillQuotaLibraryCatalogue();

// Texts the tree and the removal pass share.
extern const char SharedLibraryItemText[];
extern const char ProgramsHeadingText[];
extern const char QuotaLibrariesHeadingText[];
extern const char HistoryItemText[];
