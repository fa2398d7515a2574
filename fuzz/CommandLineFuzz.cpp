// The command line an administrator or a deployment tool gives the program.
//
// Input: the whole command line, the program's name first, as GetCommandLineA
// gives it.
#include "../uninstall/TCommandLine.h"
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    TCommandLine options = TCommandLine::Parse(line);
    std::vector<std::string> arguments = TCommandLine::SplitArguments(line);

    // Nothing is made of what the system would not pass: the line ends at its first zero.
    for (const std::string& argument : arguments)
        UZ_CHECK(argument.find('\0') == std::string::npos);
    UZ_CHECK(options.HasArguments() == !arguments.empty());

    if (!options.IsValid()) {
        // Refused means nothing is chosen, whatever else the line held.
        UZ_CHECK(!options.ChoosesItems());
        return 0;
    }
    // Every text chosen can be a tree item's text: whole, not empty, no
    // separator in it, no zero.
    for (const std::string& item : options.Items) {
        UZ_CHECK(!item.empty());
        UZ_CHECK(item.find(';') == std::string::npos);
        UZ_CHECK(item.find('\0') == std::string::npos);
    }
    UZ_CHECK(!(options.All && !options.Items.empty()));
    // A quiet run has something to do.
    UZ_CHECK(!options.Quiet || options.Help || options.ChoosesItems() || options.List);
    UZ_CHECK(options.LogFile.find('\0') == std::string::npos);
    // Each switch understood was given as one argument starting "/" or "-".
    for (const std::string& argument : arguments)
        UZ_CHECK(argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-'));
    return 0;
}
