#include "TWindow.h"
#include <algorithm>

namespace {
const char ThisProperty[] = "TWindow.this";
}

TWindow::TWindow(TWindow* parent, const char* title, TModule* module)
    : Parent(nullptr), Module(module ? module : &TModule::Program()), Title(title ? title : "")
{
    if (parent)
        parent->AddChild(this);
}

TWindow::~TWindow()
{
    if (Handle)
        UnbindHandle();
    if (Parent) {
        auto& siblings = Parent->Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    std::vector<TWindow*> children;
    children.swap(Children);
    for (TWindow* child : children) {
        child->Parent = nullptr;
        delete child;
    }
}

void TWindow::AddChild(TWindow* child)
{
    if (child->Parent == this)
        return;
    if (child->Parent) {
        auto& siblings = child->Parent->Children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), child), siblings.end());
    }
    child->Parent = this;
    Children.push_back(child);
}

TWindow* TWindow::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<TWindow*>(::GetPropA(hwnd, ThisProperty)) : nullptr;
}

void TWindow::BindHandle(HWND hwnd)
{
    Handle = hwnd;
    ::SetPropA(hwnd, ThisProperty, this);
}

void TWindow::UnbindHandle()
{
    ::RemovePropA(Handle, ThisProperty);
    if (PreviousProc) {
        ::SetWindowLongPtrA(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviousProc));
        PreviousProc = nullptr;
    }
    Handle = nullptr;
}

void TWindow::AttachToControl(HWND control)
{
    if (!control)
        return;
    BindHandle(control);
    PreviousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::StdWndProc)));
}

void TWindow::SetupWindow()
{
    for (TWindow* child : Children) {
        if (child->Id && !child->Handle) {
            child->AttachToControl(::GetDlgItem(Handle, child->Id));
            if (child->Handle)
                child->SetupWindow();
        }
    }
}

void TWindow::ScaleTo(UINT dpi)
{
    for (TWindow* child : Children)
        child->ScaleTo(dpi);
}

bool TWindow::PreProcessMsg(MSG&)
{
    return false;
}

void TWindow::Destroy()
{
    if (Handle)
        ::DestroyWindow(Handle);
}

const TResponseEntry* TWindow::FindResponse(UINT, UINT) const
{
    return nullptr;
}

LRESULT TWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    UINT id = msg == WM_COMMAND ? LOWORD(wParam) : 0;
    if (const TResponseEntry* entry = FindResponse(msg, id))
        return entry->Handler(*this, wParam, lParam);
    return DefaultProcessing(msg, wParam, lParam);
}

LRESULT TWindow::DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (PreviousProc)
        return ::CallWindowProcA(PreviousProc, Handle, msg, wParam, lParam);
    return ::DefWindowProcA(Handle, msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWindow* window = FromHandle(hwnd);
    if (!window && msg == WM_NCCREATE) {
        window = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window)
            window->BindHandle(hwnd);
    }
    if (!window)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    if (msg == WM_NCDESTROY) {
        // Let the original procedure see its last message before we let go.
        WNDPROC previous = window->PreviousProc;
        window->UnbindHandle();
        return previous ? ::CallWindowProcA(previous, hwnd, msg, wParam, lParam)
                        : ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // Built without exceptions, nothing can unwind through Windows' own frames.
    result = window->WindowProc(msg, wParam, lParam);
    return result;
}
