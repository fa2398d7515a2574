#pragma once
#include <windows.h>
#include <windowsx.h>

class TWindow;

// One row of a class's response table: a message, or WM_COMMAND with a
// command id, bound to a member function through a small thunk.
struct TResponseEntry {
    UINT Msg;
    UINT Id;
    LRESULT (*Handler)(TWindow& window, WPARAM wParam, LPARAM lParam);
};

#define DECLARE_RESPONSE_TABLE(cls)                                        \
  private:                                                                 \
    static const TResponseEntry ResponseEntries[];                         \
  protected:                                                               \
    const TResponseEntry* FindResponse(UINT msg, UINT id) const override

// Own entries first, then the base's: a derived class overrides a binding
// of its base simply by listing the same message or command.
#define DEFINE_RESPONSE_TABLE1(cls, base)                                  \
    const TResponseEntry* cls::FindResponse(UINT msg, UINT id) const {    \
        for (const TResponseEntry* e = ResponseEntries; e->Handler; ++e)   \
            if (e->Msg == msg && e->Id == id)                              \
                return e;                                                  \
        return base::FindResponse(msg, id);                                \
    }                                                                      \
    const TResponseEntry cls::ResponseEntries[] = {

#define END_RESPONSE_TABLE {0, 0, nullptr} }

#define EV_COMMAND(id, cls, method)                                        \
    {WM_COMMAND, (id), [](TWindow& w, WPARAM, LPARAM) -> LRESULT {         \
        static_cast<cls&>(w).method();                                     \
        return 0;                                                          \
    }}

#define EV_MESSAGE(msg, cls, method)                                       \
    {(msg), 0, [](TWindow& w, WPARAM wp, LPARAM lp) -> LRESULT {           \
        return static_cast<cls&>(w).method(wp, lp);                        \
    }}

#define EV_WM_LBUTTONDOWN(cls, method)                                     \
    {WM_LBUTTONDOWN, 0, [](TWindow& w, WPARAM wp, LPARAM lp) -> LRESULT {  \
        static_cast<cls&>(w).method(static_cast<UINT>(wp),                 \
                                    POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); \
        return 0;                                                          \
    }}
