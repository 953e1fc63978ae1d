#pragma once

#include "framework/CommandTarget.hpp"

#include <functional>
#include <map>
#include <optional>
#include <string>

#include <windows.h>

namespace framework {

// A window handled by this object. Messages reach the virtual WindowProc, whose
// default dispatches them to the message map filled by the derived class and to the
// virtual handlers below, and hands the rest to the window's default processing.
//
// The object does not own the window's lifetime by itself: it lets go of the window
// when the window is destroyed and then calls PostNcDestroy, which a self-owning
// window overrides to delete itself. An object that still holds a window when it is
// destroyed destroys the window too.
class Window : public CommandTarget {
public:
    Window() = default;
    ~Window() override;

    // Creates the window. Every message of a window whose class comes from
    // registerWindowClass reaches this object; a window of another class is handed
    // to it when creation has finished.
    bool CreateEx(DWORD exStyle, const std::wstring& className, const std::wstring& title,
                  DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu);

    // A window class of this framework with the given class style and no cursor,
    // background or icon, registered on first use; returns its name.
    static std::wstring registerWindowClass(UINT classStyle);

    bool DestroyWindow();
    HWND handle() const { return window; }
    HWND GetDlgItem(int id) const;

    // The object that handles a window of this framework; null for any other window.
    static Window* fromHandle(HWND window);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Runs once the window has been destroyed and this object has let go of it. The
    // object may delete itself here.
    virtual void PostNcDestroy() {}

    // WM_SETTINGCHANGE, before the default processing.
    virtual void OnSettingChange(UINT flags, const wchar_t* section);

    // WM_NOTIFY; returns whether it was handled and sets the message result if so.
    virtual bool OnNotify(const NMHDR& header, LRESULT& result);

    // A handler for a message number, also one from RegisterWindowMessageW. It takes
    // precedence over the handling built into this class.
    template <typename Target>
    void mapMessage(UINT message, LRESULT (Target::*handler)(WPARAM, LPARAM))
    {
        auto* target = static_cast<Target*>(this);
        messageHandlers[message] = [target, handler](WPARAM wParam, LPARAM lParam) {
            return (target->*handler)(wParam, lParam);
        };
    }

    // The window's own processing of a message that this object leaves alone.
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Takes over a window created elsewhere: from now on its messages reach this object
    // first and the window's own procedure serves as its default processing.
    void subclass(HWND handle);

private:
    static LRESULT CALLBACK staticWindowProc(HWND handle, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    std::optional<LRESULT> dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool onCommand(WPARAM wParam, LPARAM lParam);
    void attach(HWND handle);
    void detach();

    HWND window = nullptr;
    WNDPROC superProc = nullptr;
    std::map<UINT, std::function<LRESULT(WPARAM, LPARAM)>> messageHandlers;
};

// A window's text; empty for none.
std::wstring windowText(HWND window);

} // namespace framework
