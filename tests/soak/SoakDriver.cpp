// A mixed soak against a running server on loopback, from outside its process: valid
// requests on every route, malformed and oversized heads, heads sent a byte at a time,
// clients that leave half-way, idle connections held open, junk and oversized datagrams.
// Every answer that the server owes is checked byte for byte. At the end the server must
// still run, hold no more descriptors than before the clients came, and use no more than
// 10% more resident memory than after the warm-up.
//
//   kelvo_soak --port P --pid PID --folder PLAYER_FOLDER [--seconds 30] [--idle 300]
//              [--descriptors-of PID]
//
// Descriptors are counted in the server's process unless another process holds its
// sockets: under Wine, the wineserver of the session does.
//
// The player folder holds "KelvoPlayer.m3u", "KelvoPlayer.User.ini" (naming "guide.zip" in
// the same folder as the TV guide) and "guide.zip"; player sources are chosen.
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int httpWorkers = 4;
constexpr auto socketTimeout = 20s;
constexpr auto settleTimeout = 30s;
constexpr auto pollInterval = 50ms;
constexpr double memoryTolerance = 1.10;
constexpr std::size_t oversizedHeadBytes = 70 * 1024;
constexpr std::size_t longestDatagram = 1024;
constexpr auto datagramPause = 1ms;

// --- the server's process, seen through /proc ------------------------------------------

class ServerProcess {
public:
    explicit ServerProcess(int pid)
        : proc("/proc/" + std::to_string(pid))
    {}

    bool alive() const
    {
        std::ifstream stat(proc / "stat");
        // The name is in parentheses and may hold spaces; the state follows the last one.
        std::string line;
        if (!std::getline(stat, line)) {
            return false;
        }
        const auto close = line.rfind(')');
        return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
    }

    std::size_t descriptors() const
    {
        std::error_code error;
        const std::filesystem::directory_iterator entries(proc / "fd", error);
        return error ? 0 : static_cast<std::size_t>(std::distance(entries, {}));
    }

    long residentKib() const
    {
        std::ifstream status(proc / "status");
        for (std::string key; status >> key;) {
            if (key == "VmRSS:") {
                long kib = 0;
                status >> kib;
                return kib;
            }
            status.ignore(1 << 12, '\n');
        }
        return 0;
    }

private:
    std::filesystem::path proc;
};

// --- loopback clients ----------------------------------------------------------------------

class Socket {
public:
    explicit Socket(int type)
        : fd(socket(AF_INET, type, 0))
    {
        const timeval timeout{std::chrono::seconds(socketTimeout).count(), 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept
        : fd(std::exchange(other.fd, -1))
    {}
    ~Socket()
    {
        if (fd >= 0) {
            close(fd);
        }
    }

    static sockaddr_in loopback(std::uint16_t port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    bool connectTo(std::uint16_t port)
    {
        const auto address = loopback(port);
        return connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    }

    bool sendAll(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const auto sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    bool sendBytewise(std::string_view bytes)
    {
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (!sendAll(bytes.substr(i, 1))) {
                return false;
            }
        }
        return true;
    }

    // Everything until the server closes; false when the stream ended in an error.
    bool receiveAll(std::string& received)
    {
        char block[16384];
        for (;;) {
            const auto count = recv(fd, block, sizeof(block), 0);
            if (count == 0) {
                return true;
            }
            if (count < 0) {
                return false;
            }
            received.append(block, static_cast<std::size_t>(count));
        }
    }

    void sendDatagram(std::uint16_t port, std::string_view bytes)
    {
        const auto address = loopback(port);
        sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address),
               sizeof(address));
    }

private:
    int fd;
};

// --- what the server owes ------------------------------------------------------------------

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    if (!stream) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes.str();
}

std::string reply(std::string_view statusLine, std::string_view type, std::string_view body)
{
    std::string bytes(statusLine);
    bytes += "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nContent-Type: ";
    bytes += type;
    bytes += "\r\n\r\n";
    bytes += body;
    return bytes;
}

std::string stockPage(std::string_view code, std::string_view text)
{
    const std::string title(text);
    return reply("HTTP/1.0 " + std::string(code) + " " + title, "text/html",
                 "<html><head><title>" + title + "</title></head><body><h1>" + std::string(code) +
                     " " + title + "</h1></body></html>");
}

struct Exchange {
    std::string request;
    std::string answer;
};

struct Expectations {
    std::vector<Exchange> valid;
    std::vector<Exchange> malformed;
    std::string badRequest;
};

Expectations expectations(const std::filesystem::path& folder)
{
    const std::string name = "Kelvo Player Remote Server";
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const auto ok = [](std::string_view type, const std::string& body) {
        return reply("HTTP/1.0 200 OK", type, body);
    };
    const auto get = [](std::string_view path) {
        return "GET " + std::string(path) + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    };
    Expectations owed;
    owed.badRequest = stockPage("400", "Bad Request");
    const auto notFound = stockPage("404", "Not Found");
    owed.valid = {
        {get("/"), ok("text/html", "<html>\n<head><title>" + name + "</title></head>\n<body><h1>" +
                                       name + " 2.1</h1></body>\n</html>")},
        {get("/about/"), ok("text/xml", xml + "<server>\n<description>" + name +
                                            "</description>\n<version>2.1</version>\n</server>")},
        {"POST /settings/ HTTP/1.0\r\nContent-Length: 3\r\n\r\nabc",
         ok("text/xml", xml + "<settings version=\"1\">\n<playlist>/playlist/</playlist>\n"
                              "<tvguide>/tvguide/</tvguide>\n</settings>")},
        {get("/playlist/"), ok("audio/x-mpegurl", readFile(folder / "KelvoPlayer.m3u"))},
        {get("/tvguide/"), ok("application/zip", readFile(folder / "guide.zip"))},
        {get("/ini/"), ok("text/plain", readFile(folder / "KelvoPlayer.User.ini"))},
        {get("/%61bout/"), ok("text/xml", xml + "<server>\n<description>" + name +
                                              "</description>\n<version>2.1</version>\n</server>")},
        {get("/about"), notFound},
        {get("/nothing/here"), notFound},
    };
    owed.malformed = {
        {"GET / HTTP/1.0\n\n", owed.badRequest},
        {"get / http/1.0\r\n\r\n", owed.badRequest},
        {"GET /a b HTTP/1.0\r\n\r\n", owed.badRequest},
        {"GET / HTTP/1.0\r\nHost:x\r\n\r\n", owed.badRequest},
        {"GET / HTTP/1.\r\n\r\n", owed.badRequest},
        {" GET / HTTP/1.0\r\n\r\n", owed.badRequest},
        {std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11), owed.badRequest},
        {"GET /%zz HTTP/1.0\r\n\r\n", owed.badRequest},
        {"GET /..%2f HTTP/1.0\r\n\r\n", owed.badRequest},
        {"GET http://host/about/ HTTP/1.0\r\n\r\n", owed.badRequest},
    };
    return owed;
}

// --- the soak --------------------------------------------------------------------------------

class Soak {
public:
    Soak(std::uint16_t port, Expectations owed)
        : port(port)
        , owed(std::move(owed))
    {}

    // The mix, on several clients at once, until the deadline.
    void run(Clock::duration duration)
    {
        const auto deadline = Clock::now() + duration;
        std::vector<std::thread> clients;
        for (int worker = 0; worker < httpWorkers; ++worker) {
            clients.emplace_back([this, worker, deadline] { httpClient(worker, deadline); });
        }
        clients.emplace_back([this, deadline] { datagramClient(deadline); });
        for (auto& client : clients) {
            client.join();
        }
    }

    bool ask(const Exchange& exchange, bool bytewise = false)
    {
        Socket client(SOCK_STREAM);
        std::string received;
        const bool answered =
            client.connectTo(port) &&
            (bytewise ? client.sendBytewise(exchange.request) : client.sendAll(exchange.request)) &&
            client.receiveAll(received);
        if (answered && received == exchange.answer) {
            ++checked;
            return true;
        }
        fail("wrong answer to " + printable(exchange.request) + ": got " +
             std::to_string(received.size()) + " bytes, " + printable(received.substr(0, 60)));
        return false;
    }

    std::vector<Socket> openIdle(int count)
    {
        std::vector<Socket> idle;
        for (int i = 0; i < count; ++i) {
            Socket client(SOCK_STREAM);
            if (!client.connectTo(port)) {
                fail("idle connection " + std::to_string(i) + " refused");
                break;
            }
            idle.push_back(std::move(client));
        }
        return idle;
    }

    void fail(const std::string& what)
    {
        std::lock_guard lock(failureMutex);
        if (failures.size() < 10) {
            failures.push_back(what);
        }
        ++failureCount;
    }

    int failed() const { return failureCount; }
    void report() const
    {
        for (const auto& failure : failures) {
            std::cout << "FAILURE " << failure << '\n';
        }
        std::cout << "answers checked " << checked << ", leavers " << leavers << ", oversized "
                  << oversized << ", datagrams " << datagrams << std::endl;
    }

private:
    static std::string printable(std::string_view bytes)
    {
        std::string text;
        for (const char c : bytes.substr(0, 40)) {
            text += (c >= 0x20 && c < 0x7F) ? c : '.';
        }
        return '"' + text + '"';
    }

    void httpClient(int worker, Clock::time_point deadline)
    {
        std::mt19937 random(static_cast<unsigned>(worker) + 1);
        while (Clock::now() < deadline) {
            switch (random() % 8) {
            case 0:
            case 1:
            case 2:
                ask(owed.valid[random() % owed.valid.size()]);
                break;
            case 3:
                ask(owed.malformed[random() % owed.malformed.size()]);
                break;
            case 4:
                // The small GET routes only: a byte at a time is slow, and the body of a
                // POST would still be on its way when the server, which answers from the
                // head alone, closes the connection.
                ask(owed.valid[random() % 2], true);
                break;
            case 5:
                leaveHalfWay(random);
                break;
            case 6:
                oversizedHead();
                break;
            default:
                ask(owed.valid[3]);
                break;
            }
        }
    }

    void leaveHalfWay(std::mt19937& random)
    {
        const auto& request = owed.valid[random() % owed.valid.size()].request;
        Socket client(SOCK_STREAM);
        if (client.connectTo(port)) {
            client.sendAll(std::string_view(request).substr(0, random() % (request.size() - 4)));
            ++leavers;
        }
    }

    // The server stops reading at its bound and answers 400. It may close while the rest
    // of the head is still on its way, and then the end of the answer can be lost to the
    // reset: whatever arrives must be the start of the 400 page.
    void oversizedHead()
    {
        const std::string head =
            "GET / HTTP/1.0\r\nX-Filler: " + std::string(oversizedHeadBytes, 'a') + "\r\n\r\n";
        Socket client(SOCK_STREAM);
        std::string received;
        if (!client.connectTo(port)) {
            fail("oversized head: connection refused");
            return;
        }
        client.sendAll(head);
        client.receiveAll(received);
        if (!owed.badRequest.starts_with(received)) {
            fail("oversized head answered with " + printable(received));
        }
        ++oversized;
    }

    void datagramClient(Clock::time_point deadline)
    {
        std::mt19937 random(99);
        Socket sender(SOCK_DGRAM);
        while (Clock::now() < deadline) {
            // Key presses for a missing window and unassigned commands, never a start of
            // the player; sometimes longer than the server takes, sometimes empty.
            const auto choice = random() % 10;
            std::size_t size = 1 + random() % longestDatagram;
            if (choice == 0) {
                size = longestDatagram + 1 + random() % 8000;
            } else if (choice == 1) {
                size = 0;
            }
            std::string datagram(size, '\0');
            for (auto& byte : datagram) {
                byte = static_cast<char>(random());
            }
            if (!datagram.empty()) {
                datagram[0] = static_cast<char>(random() % 2 ? 1 : 3 + random() % 253);
            }
            sender.sendDatagram(port, datagram);
            ++datagrams;
            std::this_thread::sleep_for(datagramPause);
        }
    }

    std::uint16_t port;
    Expectations owed;
    std::mutex failureMutex;
    std::vector<std::string> failures;
    std::atomic<int> failureCount{0};
    std::atomic<long> checked{0};
    std::atomic<long> leavers{0};
    std::atomic<long> oversized{0};
    std::atomic<long> datagrams{0};
};

template <typename Condition>
bool pollUntil(Condition condition, Clock::duration timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    return true;
}

std::string argument(int argc, char** argv, std::string_view name, std::string fallback = {})
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name) {
            return argv[i + 1];
        }
    }
    if (fallback.empty()) {
        throw std::invalid_argument("missing " + std::string(name));
    }
    return fallback;
}

int soak(int argc, char** argv)
{
    const auto port = static_cast<std::uint16_t>(std::stoi(argument(argc, argv, "--port")));
    const auto pid = argument(argc, argv, "--pid");
    const ServerProcess server(std::stoi(pid));
    const ServerProcess socketHolder(std::stoi(argument(argc, argv, "--descriptors-of", pid)));
    const std::filesystem::path folder = argument(argc, argv, "--folder");
    const auto seconds = std::chrono::seconds(std::stoi(argument(argc, argv, "--seconds", "30")));
    const int idleCount = std::stoi(argument(argc, argv, "--idle", "300"));
    const auto warmUp = seconds / 5;

    const auto owed = expectations(folder);
    Soak soak(port, owed);
    // The descriptors after the first answer are the starting count.
    soak.ask(owed.valid[1]);
    const auto startDescriptors = socketHolder.descriptors();

    auto idle = soak.openIdle(idleCount);
    soak.run(warmUp);
    const auto warmKib = server.residentKib();
    const auto peakDescriptors = socketHolder.descriptors();
    soak.run(seconds - warmUp);
    idle.clear();

    const bool released =
        pollUntil([&] { return socketHolder.descriptors() <= startDescriptors; }, settleTimeout);
    const auto endKib = server.residentKib();
    std::cout << "descriptors " << startDescriptors << " at start, " << peakDescriptors
              << " with idle clients, " << socketHolder.descriptors() << " at the end\n"
              << "resident KiB " << warmKib << " after warm-up, " << endKib << " at the end"
              << std::endl;
    soak.report();

    if (!server.alive()) {
        std::cout << "FAIL: the server is gone" << std::endl;
        return EXIT_FAILURE;
    }
    if (!released) {
        std::cout << "FAIL: descriptors not back to the starting count" << std::endl;
        return EXIT_FAILURE;
    }
    if (endKib > warmKib * memoryTolerance) {
        std::cout << "FAIL: resident memory grew by more than 10%" << std::endl;
        return EXIT_FAILURE;
    }
    if (soak.failed() > 0) {
        std::cout << "FAIL: " << soak.failed() << " wrong answers" << std::endl;
        return EXIT_FAILURE;
    }
    std::cout << "PASS" << std::endl;
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return soak(argc, argv);
    } catch (const std::exception& error) {
        std::cout << "FAIL: " << error.what() << std::endl;
        return EXIT_FAILURE;
    }
}
