#include "framework/PropertyPage.hpp"

#include "framework/Module.hpp"

namespace framework {

PropertyPage::PropertyPage(UINT templateId)
    : Dialog(templateId)
{}

PROPSHEETPAGEW PropertyPage::pageDescription()
{
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = resourceHandle();
    page.pszTemplate = MAKEINTRESOURCEW(templateId());
    page.pfnDlgProc = &PropertyPage::pageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

bool PropertyPage::OnNotify(const NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case PSN_KILLACTIVE:
        // True keeps the user on the page.
        result = UpdateData(true) ? FALSE : TRUE;
        return true;
    case PSN_APPLY:
        result = UpdateData(true) ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    default:
        return Dialog::OnNotify(header, result);
    }
}

INT_PTR CALLBACK PropertyPage::pageProc(HWND handle, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    const auto& description = *reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    return reinterpret_cast<PropertyPage*>(description.lParam)->initializeDialog(handle);
}

} // namespace framework
