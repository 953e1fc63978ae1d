#pragma once

#include "framework/Dialog.hpp"

#include <commctrl.h>

namespace framework {

// One page of a PropertySheet, from a dialog template whose caption is the tab text.
// The page reads its controls back into its members when the user leaves it and when
// the user presses OK; an invalid value keeps the user on the page. A page the user
// never opened exchanges nothing.
class PropertyPage : public Dialog {
public:
    explicit PropertyPage(UINT templateId);

    // The description the sheet hands to the system; no Help button.
    PROPSHEETPAGEW pageDescription();

protected:
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    // The sheet's buttons end the sheet; a page has none of its own.
    void OnOK() override {}
    void OnCancel() override {}

private:
    static INT_PTR CALLBACK pageProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace framework
