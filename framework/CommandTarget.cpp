#include "framework/CommandTarget.hpp"

namespace framework {

bool CommandTarget::OnCmdMsg(UINT id, int code)
{
    const auto found = commandHandlers.find({id, code});
    if (found == commandHandlers.end()) {
        return false;
    }
    found->second();
    return true;
}

} // namespace framework
