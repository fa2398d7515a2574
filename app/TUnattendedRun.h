#pragma once
#include "../installed/TChoiceTree.h"
#include "../unattended/TCommandLine.h"
#include "../unattended/TRunLog.h"
#include <string>
#include <vector>

// The program run from a deployment tool's command line. It finds what is
// installed as the form does and chooses as the switches say; then it lists
// the tree, or removes the choice with the same pass as the window, without
// showing anything. What it does goes to the log, when there is one.
class TUnattendedRun {
public:
    // Finds what is installed, chooses in it, and logs the tree.
    // `everyProfile`: the per-user parts go from every user's profile.
    TUnattendedRun(const TCommandLine& options, TRunLog& log, bool everyProfile);

    // The texts of /items that name nothing installed.
    const std::vector<std::string>& GetMissing() const { return Missing; }

    // Writes the tree to the log, or without one to standard output.
    void List() const;

    // Removes what is chosen; returns the exit code.
    int Remove();

    bool VisitsEveryProfile() const { return EveryProfile; }

private:
    TRunLog& Log;
    bool EveryProfile;
    TChoiceTree Tree;
    std::vector<std::string> Missing;
};
