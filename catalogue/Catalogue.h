#pragma once
#include "THashTableImp.h"
#include "TLinkedStrings.h"

// The compiled-in catalogues: the products the program can remove (with the
// shared libraries' row) and the quota libraries whose uninstall entry or
// shortcut has a name of its own. Empty until filled.
extern THashTableImp<TLinkedStrings> ProductCatalogue;
extern THashTableImp<TLinkedStrings> QuotaLibraryCatalogue;

// Fills both catalogues with their rows; a later call does nothing.
void FillCatalogues();

// Texts the tree and the removal pass share.
extern const char SharedLibraryItemText[];
extern const char ProgramsHeadingText[];
extern const char QuotaLibrariesHeadingText[];
extern const char HistoryItemText[];
