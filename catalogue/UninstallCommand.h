#pragma once
#include <string>

// The installation folder an uninstall command names: the text before its
// first "\uninst" (a whole-character match, case as written). A command
// that starts with a quote is read up to its closing quote first, as
// Windows writes a path with spaces, and what follows is its arguments.
// Empty when there is no "\uninst".
std::string InstallDirFromCommand(const std::string& command);
