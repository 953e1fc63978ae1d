#pragma once

#include <functional>
#include <map>
#include <utility>

#include <windows.h>

namespace framework {

// Something that commands can be routed to: a map from command id and notification
// code to a handler, filled by the derived class when it is constructed.
class CommandTarget {
public:
    // The notification code of menu items, accelerators and button clicks.
    static constexpr int commandCode = 0;

    CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;
    virtual ~CommandTarget() = default;

    // Runs the handler mapped to the command, if any; whether there was one.
    virtual bool OnCmdMsg(UINT id, int code);

protected:
    template <typename Target>
    void mapCommand(UINT id, void (Target::*handler)(), int code = commandCode)
    {
        auto* target = static_cast<Target*>(this);
        commandHandlers[{id, code}] = [target, handler] { (target->*handler)(); };
    }

private:
    std::map<std::pair<UINT, int>, std::function<void()>> commandHandlers;
};

} // namespace framework
