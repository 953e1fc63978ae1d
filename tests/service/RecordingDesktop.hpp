#pragma once

#include "platform/Desktop.hpp"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

// A desktop that records what it is asked to do, one line per call, and answers as
// told: whether the player's window exists and whether it answers messages.
class RecordingDesktop : public platform::IDesktop {
public:
    bool playerRuns = false;
    bool playerAnswers = true;

    platform::WindowHandle findWindow(const std::wstring& className) override
    {
        record(L"find " + className);
        return playerRuns ? &playerWindow : nullptr;
    }

    bool sendMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override
    {
        std::wostringstream line;
        line << L"send " << (window == &playerWindow ? L"player" : L"other") << std::hex << L" 0x"
             << message << L" 0x" << wParam << L" 0x" << lParam;
        record(line.str());
        return playerAnswers;
    }

    void startProgram(const std::wstring& program, const std::wstring& parameters,
                      const std::wstring& folder) override
    {
        record(L"start " + program + L" \"" + parameters + L"\" in " + folder);
    }

    std::vector<std::wstring> calls() const
    {
        std::lock_guard lock(mutex);
        return recorded;
    }

    // Waits until at least count calls were made, for a bounded time.
    bool waitForCalls(std::size_t count, std::chrono::seconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return recorded.size() >= count; });
    }

private:
    void record(std::wstring line)
    {
        {
            std::lock_guard lock(mutex);
            recorded.push_back(std::move(line));
        }
        changed.notify_all();
    }

    int playerWindow = 0;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::wstring> recorded;
};
