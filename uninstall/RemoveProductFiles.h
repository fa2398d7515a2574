#pragma once
#include "TDeleter.h"
#include "TRemovalContext.h"
#include <string>

// Carries out one file-list spec: its files, its shortcuts in the program
// group (or, with no group, straight in the programs folder) and on the
// desktop, its document-type keys; and, in a complete removal, "卸载.lnk"
// and the folders left empty. The caller's text is never altered. Returns
// the number of document-type keys it deleted, so the caller can tell the
// shell once at the end.
int RemoveProductFiles(const std::string& spec, const std::string& groupName, const std::string& installDir,
                       const std::string& programsFolder, const std::string& desktopFolder,
                       const TRemovalContext& context, TDeleter& deleter);
