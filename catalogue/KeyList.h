#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The names in a zero-separated key list of `length` bytes, as the profile
// functions return it; a name cut at the end of the list is kept as it
// stands, empty names are dropped, nothing past `length` is read.
std::vector<std::string> SplitKeyList(const char* list, size_t length);
