#include "UninstallCommand.h"
#include "Gbk.h"

std::string InstallDirFromCommand(const std::string& command)
{
    std::string program = command.substr(0, command.find('\0'));
    // A quote is below 0x40, so it is never a GBK trail byte.
    if (!program.empty() && program[0] == '"')
        program = program.substr(1, program.find('"', 1) - 1);
    long marker = FindText(program.c_str(), "\\uninst");
    return marker >= 0 ? program.substr(0, static_cast<size_t>(marker)) : std::string();
}
