#pragma once

#include "framework/Window.hpp"

#include <string>
#include <vector>

#include <commctrl.h>

// The system header renames PropertySheet to its wide function; this class keeps the name.
#undef PropertySheet

namespace framework {

class PropertyPage;

// A modal property sheet: a caption, tabbed pages, OK and Cancel. The system builds
// the pages when they are first shown; see PropertyPage for when they exchange data.
class PropertySheet : public Window {
public:
    explicit PropertySheet(std::wstring caption, HWND parent = nullptr, UINT startPage = 0);

    // Pages appear in the order added; they must outlive DoModal.
    void AddPage(PropertyPage& page);

    // Runs the sheet: IDOK when accepted, IDCANCEL when cancelled, -1 when it could
    // not be shown.
    INT_PTR DoModal();

protected:
    // The sheet's WM_INITDIALOG. By default the system's standard initialisation,
    // which builds the first page; an override that sets the focus itself returns false.
    virtual bool OnInitDialog();

    // The description handed to the system, for the derived sheet to add flags and
    // an icon to. DoModal fills in the caption and the pages.
    PROPSHEETHEADERW header{};

private:
    static LRESULT CALLBACK creationHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT onInitDialogMessage(WPARAM wParam, LPARAM lParam);

    std::wstring caption;
    WPARAM initDialogWParam = 0;
    LPARAM initDialogLParam = 0;
    std::vector<PropertyPage*> pages;
};

} // namespace framework
