#pragma once

#include <string_view>

#include <windows.h>

namespace framework {

// The window that a box or dialog opened now should belong to, so that it is modal to
// it: the active window of this thread, or null when there is none.
HWND activeOwner();

// A message box titled with the application name and modal to the active window;
// type as for MessageBoxW. Returns the button pressed.
int messageBox(std::wstring_view text, UINT type = MB_OK);

} // namespace framework
