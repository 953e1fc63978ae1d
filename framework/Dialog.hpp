#pragma once

#include "framework/Window.hpp"

namespace framework {

class DataExchange;

// A modal dialog from a dialog template of the program's resources. OK reads the
// controls back into the members (DoDataExchange) and, when they are valid, ends the
// dialog with IDOK; Cancel, Escape and the close box end it with IDCANCEL.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);

    // Runs the dialog; returns how it ended (IDOK, IDCANCEL), or -1 when it could
    // not be shown.
    virtual INT_PTR DoModal();

    // When the dialog's window is ready; by default writes the members to the
    // controls. True lets the system focus the first control.
    virtual bool OnInitDialog();

    // Members to controls (false) or controls to members with validation (true).
    // A failed validation has been shown to the user; the result is then false.
    bool UpdateData(bool saveAndValidate = true);

    void EndDialog(INT_PTR result);

    UINT templateId() const { return dialogTemplate; }

protected:
    virtual void DoDataExchange(DataExchange& exchange);
    virtual void OnOK();
    virtual void OnCancel();

    // Takes over the dialog's window when it receives WM_INITDIALOG; returns the
    // answer to that message.
    INT_PTR initializeDialog(HWND handle);

private:
    static INT_PTR CALLBACK dialogProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    UINT dialogTemplate;
    HWND parent;
};

} // namespace framework
