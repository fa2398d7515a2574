#pragma once
#include <cstdio>
#include <string>

// The exe under test, from the command line.
extern std::string ProgramUnderTest;
