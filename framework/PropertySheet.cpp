#include "framework/PropertySheet.hpp"

#include "framework/Module.hpp"
#include "framework/PropertyPage.hpp"
#include "platform/win32/UniqueHandle.hpp"

#include <iterator>
#include <string_view>
#include <utility>

namespace framework {

namespace {

// The sheet whose window DoModal is about to create on this thread.
thread_local PropertySheet* sheetBeingCreated = nullptr;

bool isDialog(HWND window)
{
    constexpr wchar_t dialogClass[] = L"#32770";
    wchar_t name[std::size(dialogClass) + 1] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring_view(name) == dialogClass;
}

} // namespace

PropertySheet::PropertySheet(std::wstring caption, HWND parent, UINT startPage)
    : caption(std::move(caption))
{
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE;
    header.hwndParent = parent;
    header.nStartPage = startPage;
    mapMessage(WM_INITDIALOG, &PropertySheet::onInitDialogMessage);
}

void PropertySheet::AddPage(PropertyPage& page)
{
    pages.push_back(&page);
}

INT_PTR PropertySheet::DoModal()
{
    std::vector<PROPSHEETPAGEW> descriptions;
    for (auto* page : pages) {
        descriptions.push_back(page->pageDescription());
    }
    header.hInstance = resourceHandle();
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(descriptions.size());
    header.ppsp = descriptions.data();

    // The system creates the sheet's window and initialises it in one call; the hook
    // hands the window to this object as it is created, so that this object sees its
    // WM_INITDIALOG.
    const auto outer = std::exchange(sheetBeingCreated, this);
    const platform::UniqueHandle<HHOOK, &UnhookWindowsHookEx> hook(
        SetWindowsHookExW(WH_CBT, &PropertySheet::creationHook, nullptr, GetCurrentThreadId()));
    const auto result = ::PropertySheetW(&header);
    sheetBeingCreated = outer;
    if (result < 0) {
        return -1;
    }
    return result > 0 ? IDOK : IDCANCEL;
}

bool PropertySheet::OnInitDialog()
{
    return defaultProc(WM_INITDIALOG, initDialogWParam, initDialogLParam) != FALSE;
}

LRESULT CALLBACK PropertySheet::creationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && sheetBeingCreated != nullptr) {
        // The sheet is the one top-level dialog; its pages and controls are children,
        // and the system's helper windows are no dialogs.
        const auto handle = reinterpret_cast<HWND>(wParam);
        const auto& creation = *reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if ((creation.lpcs->style & WS_CHILD) == 0 && isDialog(handle)) {
            std::exchange(sheetBeingCreated, nullptr)->subclass(handle);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT PropertySheet::onInitDialogMessage(WPARAM wParam, LPARAM lParam)
{
    initDialogWParam = wParam;
    initDialogLParam = lParam;
    return OnInitDialog() ? TRUE : FALSE;
}

} // namespace framework
