// The command line an administrator or a deployment tool gives the program,
// and an uninstall entry's command, from which a product's folder is cut.
//
// Input: the whole command line, the program's name first, as GetCommandLineA
// gives it.
#include "../catalogue/UninstallCommand.h"
#include "../unattended/TCommandLine.h"
#include "FuzzCheck.h"
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);

    // The installation folder is what stands before "\uninst", inside the
    // quotes when the command starts with one; never more, never made up.
    const std::string command = AsCString(line);
    const bool quoted = !command.empty() && command[0] == '"';
    const std::string program = quoted ? command.substr(1, command.find('"', 1) - 1) : command;
    const std::string folder = InstallDirFromCommand(line);
    UZ_CHECK(program.compare(0, folder.size(), folder) == 0);
    UZ_CHECK(folder.empty() || program.compare(folder.size(), 7, "\\uninst") == 0);

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
    // Help is asked for alone, or not at all.
    UZ_CHECK(!options.Help || arguments.size() == 1);
    UZ_CHECK(options.LogFile.find('\0') == std::string::npos);
    // Each switch understood was given as one argument starting "/" or "-".
    for (const std::string& argument : arguments)
        UZ_CHECK(argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-'));
    return 0;
}
