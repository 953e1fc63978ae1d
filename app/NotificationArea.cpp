#include "app/NotificationArea.hpp"

namespace {

class ShellNotificationArea : public INotificationArea {
public:
    bool notify(DWORD message, const NOTIFYICONDATAW& data) override
    {
        // The shell only reads the record; the call is declared for a mutable one.
        auto record = data;
        return Shell_NotifyIconW(message, &record) != FALSE;
    }
};

} // namespace

INotificationArea& shellNotificationArea()
{
    static ShellNotificationArea area;
    return area;
}
