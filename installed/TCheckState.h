#pragma once

// A tree item's check state: the index of its state picture.
enum TCheckState : int {
    NoBox = 0,
    NotChosen = 1,
    Chosen = 2,
    PartlyChosen = 3,
    // A picture the tree never hands out itself; a press on it takes the box away.
    GreyBox = 4,
};

// Chosen and partly chosen items count as chosen.
inline bool IsChosen(int state)
{
    return state >= Chosen;
}
