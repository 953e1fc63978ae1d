#include "framework/Dialog.hpp"

#include "framework/DataExchange.hpp"
#include "framework/Module.hpp"

namespace framework {

Dialog::Dialog(UINT templateId, HWND parent)
    : dialogTemplate(templateId)
    , parent(parent)
{
    mapCommand(IDOK, &Dialog::OnOK);
    mapCommand(IDCANCEL, &Dialog::OnCancel);
}

INT_PTR Dialog::DoModal()
{
    return DialogBoxParamW(resourceHandle(), MAKEINTRESOURCEW(dialogTemplate), parent,
                           &Dialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

bool Dialog::UpdateData(bool saveAndValidate)
{
    DataExchange exchange(*this, saveAndValidate);
    try {
        DoDataExchange(exchange);
        return true;
    } catch (const DataExchange::Failure&) {
        return false;
    }
}

void Dialog::EndDialog(INT_PTR result)
{
    ::EndDialog(handle(), result);
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK()
{
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR Dialog::initializeDialog(HWND handle)
{
    // From here on the dialog's messages reach this object first; the dialog
    // manager's own processing is what this object leaves alone.
    subclass(handle);
    return OnInitDialog() ? TRUE : FALSE;
}

INT_PTR CALLBACK Dialog::dialogProc(HWND handle, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    return reinterpret_cast<Dialog*>(lParam)->initializeDialog(handle);
}

} // namespace framework
