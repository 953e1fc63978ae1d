#include "service/UdpListener.hpp"

#include "service/IMessageHandler.hpp"
#include "tests/support/CerrCapture.hpp"
#include "tests/support/Loopback.hpp"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <boost/asio/error.hpp>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Keeps a copy of every datagram it is given.
class RecordingHandler : public IMessageHandler {
public:
    void handleMessage(const std::uint8_t* data, std::uint32_t length) override
    {
        {
            std::lock_guard lock(mutex);
            received.emplace_back(data, data + length);
        }
        changed.notify_all();
    }

    // Waits, for a bounded time, until the last datagram received is this one.
    bool waitForLast(const Bytes& datagram)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10),
                                [&] { return !received.empty() && received.back() == datagram; });
    }

    std::vector<Bytes> messages()
    {
        std::lock_guard lock(mutex);
        return received;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Bytes> received;
};

// A listener on a free loopback port, served by its own thread. Each test ends its
// datagrams with a marker, so that once the marker arrived everything before it was
// handled, and the listener's thread is joined before anything is inspected.
class UdpListenerTest : public testing::Test {
protected:
    void SetUp() override
    {
        port = testing_support::startOnFreePort([this](std::uint16_t freePort) {
            listener = std::make_unique<UdpListener>(ioContext, freePort, handler);
            return freePort;
        });
        worker = std::thread([this] { ioContext.run(); });
    }

    void TearDown() override { stopListener(); }

    void stopListener()
    {
        ioContext.stop();
        if (worker.joinable()) {
            worker.join();
        }
    }

    // Sends the datagrams and then the marker, and waits for the marker.
    std::vector<Bytes> deliver(const std::vector<Bytes>& datagrams)
    {
        testing_support::DatagramSender sender(port);
        for (const auto& datagram : datagrams) {
            sender.send(datagram);
        }
        sender.send(marker);
        EXPECT_TRUE(handler.waitForLast(marker)) << "the marker did not arrive";
        stopListener();
        return handler.messages();
    }

    const Bytes marker{0x7E};
    testing_support::CerrCapture errors;
    boost::asio::io_context ioContext;
    RecordingHandler handler;
    std::unique_ptr<UdpListener> listener;
    std::thread worker;
    std::uint16_t port = 0;
};

TEST_F(UdpListenerTest, EmptyDatagramIsNotPassedOn)
{
    EXPECT_EQ(deliver({Bytes{}}), std::vector<Bytes>{marker});
    EXPECT_EQ(errors.text(), "");
}

TEST_F(UdpListenerTest, LongestDatagramIsPassedWhole)
{
    Bytes longest(UdpListener::maxDatagramSize);
    for (std::size_t i = 0; i < longest.size(); ++i) {
        longest[i] = static_cast<std::uint8_t>(i * 7);
    }
    EXPECT_EQ(deliver({longest}), (std::vector<Bytes>{longest, marker}));
    EXPECT_EQ(errors.text(), "");
}

TEST_F(UdpListenerTest, LongerDatagramIsAReceiveErrorAndNothingOfItIsPassed)
{
    const Bytes oneTooLong(UdpListener::maxDatagramSize + 1, 0x00);
    const Bytes muchTooLong(4000, 0x02);
    EXPECT_EQ(deliver({oneTooLong, muchTooLong}), std::vector<Bytes>{marker});
    const auto line = boost::system::error_code(boost::asio::error::message_size).message() + "\n";
    EXPECT_EQ(errors.text(), line + line);
}

} // namespace
