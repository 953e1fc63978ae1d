#include "framework/MessageBox.hpp"

#include "framework/Module.hpp"

#include <string>

namespace framework {

HWND activeOwner()
{
    const auto active = GetActiveWindow();
    return active != nullptr ? GetAncestor(active, GA_ROOT) : nullptr;
}

int messageBox(std::wstring_view text, UINT type)
{
    const std::wstring message(text);
    return MessageBoxW(activeOwner(), message.c_str(), applicationName().c_str(), type);
}

} // namespace framework
