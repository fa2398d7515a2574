#pragma once
#include "../installed/TChoice.h"

class TMyTreeWnd;

// The walk of the uninstall command: every item of the tree in pre-order,
// read when "确认" is pressed.
struct TChosenItems {
    static TChoice Collect(TMyTreeWnd& tree);
};
