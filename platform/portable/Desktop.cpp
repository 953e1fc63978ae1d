#include "platform/Desktop.hpp"

namespace platform {
namespace {

// The player is a Windows desktop program: where there is no Windows desktop there is
// no window of it to find or to message, and no player to start.
class NoDesktop final : public IDesktop {
public:
    WindowHandle findWindow(const std::wstring&) override { return nullptr; }

    bool sendMessage(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override
    {
        return false;
    }

    void startProgram(const std::wstring&, const std::wstring&, const std::wstring&) override {}
};

} // namespace

IDesktop& systemDesktop()
{
    static NoDesktop desktop;
    return desktop;
}

} // namespace platform
