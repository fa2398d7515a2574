#pragma once
#include <string>
#include <vector>

// What an administrator asks for on the command line. Switches start with
// "/" or "-", are case-insensitive, and take a value after ":":
//   /? or /help, /quiet, /all, /items:TEXT[;TEXT...], /allusers, /list,
//   /log:FILE.
// Without arguments the program is the window it always was.
struct TCommandLine {
    bool Help = false;
    bool Quiet = false;
    bool All = false;
    bool List = false;
    // The per-user parts for every user's profile; only with /quiet.
    bool AllUsers = false;
    // The texts of /items, as given, none empty.
    std::vector<std::string> Items;
    std::string LogFile;

    // Empty when the command line is understood; else what is wrong.
    std::string Error;

    bool IsValid() const { return Error.empty(); }
    bool HasArguments() const { return Arguments; }
    bool ChoosesItems() const { return All || !Items.empty(); }
    // Whether a run removes the per-user parts from every user's profile:
    // an unattended removal with /allusers, or one run as LocalSystem, whose
    // own profile is nobody's. The window removes the current user's only.
    bool VisitsEveryProfile(bool runsAsLocalSystem) const
    {
        return Quiet && ChoosesItems() && !List && (AllUsers || runsAsLocalSystem);
    }

    // Parses a whole command line as GetCommandLineA gives it, the program
    // name first. Arguments are split as the C runtime splits them, with
    // two-byte GBK characters kept whole.
    static TCommandLine Parse(const std::string& commandLine);
    // The arguments after the program name.
    static std::vector<std::string> SplitArguments(const std::string& commandLine);

    // The usage text of the help box, in the program's code page.
    static const char Usage[];

private:
    bool Arguments = false;
};

// What the unattended road tells the tool that started it; the window's
// own ending is always 0.
enum TExitCode : int {
    ExitDone = 0,
    // Done, but some files go only at the next restart.
    ExitRestartNeeded = 3010,
    // Something could not be removed and could not be scheduled.
    ExitFailed = 1603,
    // The log named by /log cannot be opened; nothing is done.
    ExitLogFailed = 1622,
    // An item named in /items is not installed; nothing is removed.
    ExitUnknownItem = 1605,
    // Another removal is running; nothing is done. Deployment tools retry.
    ExitAnotherRemoval = 1618,
    // A switch or value is not understood; nothing is done.
    ExitBadCommandLine = 1639,
};
