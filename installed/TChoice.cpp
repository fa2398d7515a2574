#include "TChoice.h"
#include "../catalogue/Catalogue.h"
#include "TCheckState.h"

void TChoice::Add(int depth, int state, const std::string& text)
{
    if (!IsChosen(state)) {
        CompleteRemoval = false;
        return;
    }
    ConfirmationText.append(2 * static_cast<size_t>(depth), ' ');
    ConfirmationText += text;
    ConfirmationText += "\r\n";
    if (text != QuotaLibrariesHeadingText && text != ProgramsHeadingText)
        Items.push_back(text);
}
