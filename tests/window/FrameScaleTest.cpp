#include "../../app/TSDIDecFrame.h"
#include "../../framework/TDialog.h"
#include "../../res/resource.h"
#include "../../ui/TMyTreeWnd.h"
#include "../support/DialogTemplate.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// The main frame with the form and its tree as the program makes them, less
// the finding of what is installed. Wine never moves a window to a monitor
// of another scale, so the frame is told what Windows tells a window then
// (WM_DPICHANGED, with the place Windows suggests).
class FrameScale : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* form = new TDialog(nullptr, IDD_CLIENT);
        new TMyTreeWnd(form, IDC_TREE);
        Frame = std::make_unique<TSDIDecFrame>(nullptr, "scale", form, true, nullptr);
        Frame->SetShrinkToClient(true);
        Frame->SetIcon(nullptr, IDI_PROGRAM);
        ASSERT_TRUE(Frame->Create());
        Form = form->GetHandle();
        ASSERT_TRUE(LoadDialogTemplate(GetModuleHandleA(nullptr), IDD_CLIENT, Template));
        ASSERT_EQ(Template.Controls.size(), Children().size());
    }

    void TearDown() override
    {
        if (Frame && Frame->GetHandle())
            DestroyWindow(Frame->GetHandle());
        Frame.reset();
    }

    // What Windows sends a window moved to a monitor at `dpi`.
    RECT MoveTo(UINT dpi)
    {
        RECT window;
        GetWindowRect(Frame->GetHandle(), &window);
        RECT suggested = {window.left + 40, window.top + 30, window.right + 100, window.bottom + 80};
        SendMessageA(Frame->GetHandle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        return suggested;
    }

    std::vector<HWND> Children() const
    {
        std::vector<HWND> children;
        for (HWND child = GetWindow(Form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

    // Each control's place in the form's client area.
    std::vector<RECT> Places() const
    {
        std::vector<RECT> places;
        for (HWND child : Children()) {
            RECT place;
            GetWindowRect(child, &place);
            MapWindowPoints(nullptr, Form, reinterpret_cast<POINT*>(&place), 2);
            places.push_back(place);
        }
        return places;
    }

    SIZE ClientSize() const
    {
        RECT client;
        GetClientRect(Frame->GetHandle(), &client);
        return SIZE{client.right, client.bottom};
    }

    std::unique_ptr<TSDIDecFrame> Frame;
    HWND Form = nullptr;
    TDialogTemplate Template;
};

TEST_F(FrameScale, MovedToAMonitorOfAnotherScaleItIsLaidOutThereAndBackAgain)
{
    const std::vector<RECT> placesAtStart = Places();
    const SIZE sizeAtStart = ClientSize();
    const SIZE standard = BaseUnitsAt(Template, 96);

    // 150 %, 200 %, 125 % (between two drawings) and back at 100 %.
    for (UINT dpi : {144u, 192u, 120u, 96u}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        const RECT suggested = MoveTo(dpi);
        const SIZE units = BaseUnitsAt(Template, dpi);

        // At Windows' place, 341 x 256 dialog units of the template's font at that DPI.
        RECT window;
        GetWindowRect(Frame->GetHandle(), &window);
        EXPECT_EQ(suggested.left, window.left);
        EXPECT_EQ(suggested.top, window.top);
        const RECT size = MapWithUnits(RECT{0, 0, Template.Cx, Template.Cy}, units);
        EXPECT_EQ(size.right, ClientSize().cx);
        EXPECT_EQ(size.bottom, ClientSize().cy);

        // Each control where the dialog manager would have put it; the
        // title picture as large in dialog units as at 100 %, to the
        // rounding of the base units.
        const std::vector<RECT> places = Places();
        for (size_t i = 0; i < places.size(); ++i) {
            const TTemplateControl& control = Template.Controls[i];
            SCOPED_TRACE(testing::Message() << "control " << static_cast<short>(control.Id));
            RECT at = MapWithUnits(RECT{control.X, control.Y, control.Cx, control.Cy}, units);
            EXPECT_EQ(at.left, places[i].left);
            EXPECT_EQ(at.top, places[i].top);
            const int width = places[i].right - places[i].left, height = places[i].bottom - places[i].top;
            if (control.Id == IDC_TITLE_PICTURE) {
                const double wantedWidth = 160.0 * units.cx / standard.cx;
                const double wantedHeight = 100.0 * units.cy / standard.cy;
                EXPECT_NEAR(wantedWidth, width, 1 + wantedWidth * (0.5 / units.cx + 0.5 / standard.cx));
                EXPECT_NEAR(wantedHeight, height, 1 + wantedHeight * (0.5 / units.cy + 0.5 / standard.cy));
            } else {
                EXPECT_EQ(at.right, width);
                EXPECT_EQ(at.bottom, height);
            }
        }

        // The tree's pictures and the icon drawn for the scale.
        HWND tree = GetDlgItem(Form, IDC_TREE);
        auto boxes = reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_STATE, 0));
        int side = 0, height = 0;
        ImageList_GetIconSize(boxes, &side, &height);
        EXPECT_EQ(MulDiv(16, dpi, 96), side);
        auto icon = reinterpret_cast<HICON>(SendMessageA(Frame->GetHandle(), WM_GETICON, ICON_BIG, 0));
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        EXPECT_EQ(MulDiv(32, dpi, 96), bitmap.bmWidth);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }

    // Back at 100 %, exactly as it started.
    const std::vector<RECT> placesAtEnd = Places();
    for (size_t i = 0; i < placesAtEnd.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "control " << static_cast<short>(Template.Controls[i].Id));
        EXPECT_TRUE(EqualRect(&placesAtStart[i], &placesAtEnd[i]));
    }
    EXPECT_EQ(sizeAtStart.cx, ClientSize().cx);
    EXPECT_EQ(sizeAtStart.cy, ClientSize().cy);
}

// A dialog of its own on the desktop, the confirmation or the list of
// programs that hold files, is told of the move itself, and each control
// is where the dialog manager would put it there.
TEST(DialogScale, ATopLevelDialogMovedToAMonitorOfAnotherScaleIsLaidOutThere)
{
    for (int id : {IDD_CONFIRM, IDD_HOLDERS}) {
        SCOPED_TRACE(testing::Message() << "dialog " << id);
        TDialogTemplate dialogTemplate;
        ASSERT_TRUE(LoadDialogTemplate(GetModuleHandleA(nullptr), id, dialogTemplate));
        TDialog dialog(nullptr, id);
        ASSERT_TRUE(dialog.Create());
        for (UINT dpi : {144u, 96u}) {
            SCOPED_TRACE(testing::Message() << dpi << " DPI");
            RECT window;
            GetWindowRect(dialog.GetHandle(), &window);
            RECT suggested = {window.left + 40, window.top + 30, window.right + 100, window.bottom + 80};
            SendMessageA(dialog.GetHandle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            const SIZE units = BaseUnitsAt(dialogTemplate, dpi);
            const RECT size = MapWithUnits(RECT{0, 0, dialogTemplate.Cx, dialogTemplate.Cy}, units);
            RECT client;
            GetClientRect(dialog.GetHandle(), &client);
            EXPECT_EQ(size.right, client.right);
            EXPECT_EQ(size.bottom, client.bottom);
            GetWindowRect(dialog.GetHandle(), &window);
            EXPECT_EQ(suggested.left, window.left);
            EXPECT_EQ(suggested.top, window.top);
            size_t i = 0;
            for (HWND child = GetWindow(dialog.GetHandle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++i) {
                ASSERT_LT(i, dialogTemplate.Controls.size());
                const TTemplateControl& control = dialogTemplate.Controls[i];
                const RECT at = MapWithUnits(RECT{control.X, control.Y, control.Cx, control.Cy}, units);
                RECT place;
                GetWindowRect(child, &place);
                MapWindowPoints(nullptr, dialog.GetHandle(), reinterpret_cast<POINT*>(&place), 2);
                EXPECT_EQ(at.left, place.left) << "control " << static_cast<short>(control.Id);
                EXPECT_EQ(at.top, place.top) << "control " << static_cast<short>(control.Id);
                EXPECT_EQ(at.right, place.right - place.left) << "control " << static_cast<short>(control.Id);
                EXPECT_EQ(at.bottom, place.bottom - place.top) << "control " << static_cast<short>(control.Id);
            }
            EXPECT_EQ(dialogTemplate.Controls.size(), i);
        }
        dialog.Destroy();
    }
}
