#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace framework {

class Window;

// One transfer between a dialog's members and its controls, in one direction. When
// reading back, the first invalid value stops the transfer: its message is shown,
// the focus goes to the control it came from, and UpdateData reports failure.
class DataExchange {
public:
    // Thrown to end a transfer at an invalid value, caught by UpdateData.
    struct Failure {};

    DataExchange(Window& dialog, bool saveAndValidate);

    // True: controls to members, validated. False: members to controls.
    const bool saveAndValidate;

    // The control of the value being exchanged; a failure focuses it.
    HWND prepareControl(int id);
    // The same for an edit control, whose text a failure also selects.
    HWND prepareEditControl(int id);

    // Shows the message (exclamation icon, OK, titled with the application name),
    // focuses the prepared control and ends the transfer.
    [[noreturn]] void fail(std::wstring_view message);

private:
    Window& dialog;
    HWND lastControl = nullptr;
    bool lastControlIsEdit = false;
};

// An edit's text and a string; any text is valid.
void DDX_Text(DataExchange& exchange, int id, std::wstring& value);
// An edit's text and a decimal integer. Blanks and tabs may surround the number;
// anything else fails with "Enter an integer.". A number beyond the int range reads
// as the nearest int, for the range check to reject.
void DDX_Text(DataExchange& exchange, int id, int& value);
// When reading back: a value outside [minimum, maximum] fails with
// "Enter an integer between <minimum> and <maximum>.".
void DDV_MinMaxInt(DataExchange& exchange, int value, int minimum, int maximum);
// A check box's state (0 unchecked, 1 checked, 2 indeterminate) and an int.
void DDX_Check(DataExchange& exchange, int id, int& value);
// A group of radio buttons starting with control id (the one with WS_GROUP) and the
// index of the checked button among them; -1 when none is checked. Other controls
// within the group are skipped.
void DDX_Radio(DataExchange& exchange, int id, int& value);

} // namespace framework
