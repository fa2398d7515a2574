#pragma once
#include "ResponseTable.h"
#include "TModule.h"
#include <string>
#include <vector>

// A window object. It owns the objects of its child windows and deletes
// them with itself (a child deleted first takes itself off the list); the
// windows themselves go when Windows destroys them.
class TWindow {
public:
    explicit TWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND GetHandle() const { return Handle; }
    TModule& GetModule() const { return *Module; }

    // Makes this object the owner of `child` and the parent of its window.
    void AddChild(TWindow* child);

    // Binds this object to a control that a dialog template already made,
    // subclassing it so that its messages reach the response table.
    void AttachToControl(HWND control);

    // Runs once the window exists: connects and sets up the child objects.
    virtual void SetupWindow();

    // Lays the window out and draws its pictures for `dpi`; by default
    // only its child objects have anything to do.
    virtual void ScaleTo(UINT dpi);

    // Offered each queued message whose target is this window or below it.
    virtual bool PreProcessMsg(MSG& msg);

    // Makes the window for this object; controls from a template have none.
    virtual bool Create() { return false; }
    void Destroy();

    static TWindow* FromHandle(HWND hwnd);
    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    virtual const TResponseEntry* FindResponse(UINT msg, UINT id) const;
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // What happens to a message that no response table takes.
    virtual LRESULT DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam);

    void BindHandle(HWND hwnd);
    void UnbindHandle();
    void SetId(int id) { Id = id; }

    HWND Handle = nullptr;
    TWindow* Parent;
    TModule* Module;
    std::string Title;
    std::vector<TWindow*> Children;

private:
    int Id = 0;
    WNDPROC PreviousProc = nullptr;
};
