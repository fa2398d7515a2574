#pragma once
#include "../framework/TImageList.h"
#include "../framework/TTreeWindow.h"
#include "../installed/TCheckState.h"
#include <memory>

// The check-box tree. Each item's check state (TCheckState) is its
// state-image index. Only a left-button press on a box changes states;
// there is no keyboard way to do it.
class TMyTreeWnd : public TTreeWindow {
public:
    TMyTreeWnd(TWindow* parent, int id, TModule* module = nullptr);
    ~TMyTreeWnd() override;

    void SetupWindow() override;
    // Pictures drawn for `dpi`, and rows as high as they need.
    void ScaleTo(UINT dpi) override;

    void SetCheckState(HTREEITEM item, int state);
    int GetCheckState(HTREEITEM item) const;

    // The state a press on a box in `state` gives: not chosen becomes chosen,
    // chosen and partly chosen become not chosen, anything else loses its box.
    static int NextCheckState(int state);

protected:
    void EvLButtonDown(UINT modKeys, POINT point);

private:
    std::unique_ptr<TImageList> NormalImages;
    std::unique_ptr<TImageList> StateImages;
    UINT PicturesDpi;

    DECLARE_RESPONSE_TABLE(TMyTreeWnd);
};
