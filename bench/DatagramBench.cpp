// Command datagrams through the real server host on loopback: how many key presses a
// second the host decodes and hands to the player's window, and how long one takes from
// the send to the window. Each key code is the datagram's sequence number, so the desktop
// stand-in can time every datagram.
//
//   kelvo_datagram_bench [--count N] [--samples N]
//
// Prints "name value" lines: datagrams_per_second, latency_median_us, latency_p99_us, lost.
#include "service/ServerHost.hpp"
#include "settings/Preferences.hpp"
#include "tests/support/Loopback.hpp"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <netinet/in.h>
#include <stdexcept>
#include <string_view>
#include <sys/socket.h>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint64_t defaultCount = 1'000'000;
constexpr std::uint64_t defaultSamples = 20'000;
// Datagrams in flight at most: enough that the host finds work waiting instead of being
// woken for every batch, and within what the socket's default receive buffer (about
// 200 KiB, some 1 KiB of it per small datagram) holds, so that none is dropped.
constexpr std::uint64_t window = 160;
// A datagram not handled by then was dropped by the system.
constexpr auto lossTimeout = 200ms;
constexpr auto runDeadline = 120s;

// The player's window: notes when each key press arrives.
class TimingDesktop final : public platform::IDesktop {
public:
    explicit TimingDesktop(std::size_t capacity)
        : arrivals(capacity)
    {}

    platform::WindowHandle findWindow(const std::wstring&) override { return &playerWindow; }

    bool sendMessage(platform::WindowHandle, std::uint32_t, std::uintptr_t keyCode,
                     std::intptr_t) override
    {
        arrivals[keyCode % arrivals.size()] = Clock::now();
        handledCount.fetch_add(1, std::memory_order_release);
        return true;
    }

    void startProgram(const std::wstring&, const std::wstring&, const std::wstring&) override {}

    std::uint64_t handled() const { return handledCount.load(std::memory_order_acquire); }
    Clock::time_point arrival(std::uint64_t sequence) const
    {
        return arrivals[sequence % arrivals.size()];
    }

private:
    int playerWindow = 0;
    std::vector<Clock::time_point> arrivals;
    std::atomic<std::uint64_t> handledCount{0};
};

// Key-press datagrams numbered from 0 on, handed to the system in batches, so that the
// sender costs the machine little next to the host it measures.
class KeySender {
public:
    static constexpr std::size_t batchSize = 32;

    explicit KeySender(std::uint16_t port)
        : socketFd(socket(AF_INET, SOCK_DGRAM, 0))
    {
        target.sin_family = AF_INET;
        target.sin_port = htons(port);
        target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (std::size_t i = 0; i < batchSize; ++i) {
            datagrams[i][0] = 0x01;
            parts[i] = {datagrams[i].data(), datagrams[i].size()};
            messages[i].msg_hdr.msg_name = &target;
            messages[i].msg_hdr.msg_namelen = sizeof(target);
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
    }
    KeySender(const KeySender&) = delete;
    KeySender& operator=(const KeySender&) = delete;
    ~KeySender() { close(socketFd); }

    // Sends the next `count` datagrams (at most one batch); returns the first number.
    std::uint64_t send(std::size_t count)
    {
        const auto first = next;
        for (std::size_t i = 0; i < count; ++i, ++next) {
            for (int byte = 0; byte < 4; ++byte) {
                datagrams[i][1 + byte] = static_cast<std::uint8_t>(next >> (8 * byte));
            }
        }
        for (std::size_t done = 0; done < count;) {
            const int sent =
                sendmmsg(socketFd, messages.data() + done, static_cast<unsigned>(count - done), 0);
            if (sent <= 0) {
                throw std::runtime_error("sendmmsg failed");
            }
            done += static_cast<std::size_t>(sent);
        }
        return first;
    }

    std::uint64_t sent() const { return next; }

private:
    int socketFd;
    sockaddr_in target{};
    std::array<std::array<std::uint8_t, 5>, batchSize> datagrams{};
    std::array<iovec, batchSize> parts{};
    std::array<mmsghdr, batchSize> messages{};
    std::uint64_t next = 0;
};

std::uint64_t argument(int argc, char** argv, std::string_view name, std::uint64_t fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name) {
            return std::stoull(argv[i + 1]);
        }
    }
    return fallback;
}

// Waits until the host has handled `target` datagrams; false when it stopped making
// progress for the loss timeout.
bool waitForHandled(const TimingDesktop& desktop, std::uint64_t target)
{
    auto progress = desktop.handled();
    auto lastProgress = Clock::now();
    while (progress < target) {
        std::this_thread::yield();
        const auto now = desktop.handled();
        if (now != progress) {
            progress = now;
            lastProgress = Clock::now();
        } else if (Clock::now() - lastProgress > lossTimeout) {
            return false;
        }
    }
    return true;
}

double microseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

} // namespace

int main(int argc, char** argv)
{
    const auto count = argument(argc, argv, "--count", defaultCount);
    const auto samples = argument(argc, argv, "--samples", defaultSamples);

    TimingDesktop desktop(count + samples);
    Preferences preferences;
    std::unique_ptr<ServerHost> host;
    const auto port = testing_support::startOnFreePort([&](std::uint16_t freePort) {
        preferences.port = freePort;
        host = std::make_unique<ServerHost>(preferences, desktop);
        return freePort;
    });
    KeySender sender(port);
    const auto deadline = Clock::now() + runDeadline;
    std::uint64_t lost = 0;

    // Throughput: keep the window full.
    const auto start = Clock::now();
    while (sender.sent() < count && Clock::now() < deadline) {
        const auto inFlight = sender.sent() - lost - desktop.handled();
        if (inFlight + KeySender::batchSize <= window) {
            sender.send(std::min<std::uint64_t>(KeySender::batchSize, count - sender.sent()));
        } else if (!waitForHandled(desktop, sender.sent() - lost - window + KeySender::batchSize)) {
            lost = sender.sent() - desktop.handled();
        }
    }
    if (!waitForHandled(desktop, sender.sent() - lost)) {
        lost = sender.sent() - desktop.handled();
    }
    const auto elapsed = Clock::now() - start;
    const auto throughputHandled = desktop.handled();

    // Latency: one datagram in flight at a time.
    std::vector<double> latencies;
    latencies.reserve(samples);
    for (std::uint64_t i = 0; i < samples && Clock::now() < deadline; ++i) {
        const auto target = desktop.handled() + 1;
        const auto sentAt = Clock::now();
        const auto sequence = sender.send(1);
        if (waitForHandled(desktop, target)) {
            latencies.push_back(microseconds(desktop.arrival(sequence) - sentAt));
        } else {
            ++lost;
        }
    }
    host->stop();

    std::sort(latencies.begin(), latencies.end());
    const auto percentile = [&](double fraction) {
        return latencies.empty()
                   ? 0.0
                   : latencies[static_cast<std::size_t>(fraction * (latencies.size() - 1))];
    };
    std::cout << "datagrams_per_second "
              << static_cast<std::uint64_t>(throughputHandled /
                                            std::chrono::duration<double>(elapsed).count())
              << "\nlatency_median_us " << percentile(0.5) << "\nlatency_p99_us "
              << percentile(0.99) << "\nlost " << lost << std::endl;
    return EXIT_SUCCESS;
}
