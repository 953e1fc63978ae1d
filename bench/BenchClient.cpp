// Clients for the measurements that the HTTP load tool cannot make.
//
//   kelvo_bench_client idle PORT COUNT
//       Opens COUNT connections to 127.0.0.1:PORT that send nothing, prints "open COUNT",
//       and holds them until its standard input closes.
//   kelvo_bench_client startup PORT TIMEOUT_SECONDS PROGRAM [ARGUMENTS...]
//       Starts the program, prints "startup_ms X" once a TCP connection to the port is
//       accepted, then ends the program (SIGTERM; SIGKILL if it lingers).
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto pollInterval = 5ms;
constexpr auto exitTimeout = 10s;

// A connected socket, or -1.
int connectTo(std::uint16_t port)
{
    const int socketFd = socket(AF_INET, SOCK_STREAM, 0);
    if (socketFd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        close(socketFd);
        return -1;
    }
    return socketFd;
}

int holdIdle(std::uint16_t port, int count)
{
    std::vector<int> sockets;
    for (int i = 0; i < count; ++i) {
        const int socketFd = connectTo(port);
        if (socketFd < 0) {
            std::cerr << "connection " << i << " failed" << std::endl;
            break;
        }
        sockets.push_back(socketFd);
    }
    std::cout << "open " << sockets.size() << std::endl;
    while (std::cin.get() != std::char_traits<char>::eof()) {
    }
    for (const int socketFd : sockets) {
        close(socketFd);
    }
    return static_cast<int>(sockets.size()) == count ? EXIT_SUCCESS : EXIT_FAILURE;
}

bool exitsWithin(pid_t child, std::chrono::steady_clock::duration timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (waitpid(child, nullptr, WNOHANG) == child) {
            return true;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    return false;
}

void endChild(pid_t child)
{
    kill(child, SIGTERM);
    if (!exitsWithin(child, exitTimeout)) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

int timeStartup(std::uint16_t port, int timeoutSeconds, char** program)
{
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(program[0], program);
        _exit(127);
    }
    if (child < 0) {
        return EXIT_FAILURE;
    }
    const auto deadline = start + std::chrono::seconds(timeoutSeconds);
    int result = EXIT_FAILURE;
    while (Clock::now() < deadline) {
        const int socketFd = connectTo(port);
        if (socketFd >= 0) {
            close(socketFd);
            const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
            std::cout << "startup_ms " << elapsed.count() << std::endl;
            result = EXIT_SUCCESS;
            break;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    endChild(child);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "idle" && argc == 4) {
        return holdIdle(static_cast<std::uint16_t>(std::stoi(argv[2])), std::stoi(argv[3]));
    }
    if (mode == "startup" && argc >= 5) {
        return timeStartup(static_cast<std::uint16_t>(std::stoi(argv[2])), std::stoi(argv[3]),
                           argv + 4);
    }
    std::cerr << "usage: kelvo_bench_client idle PORT COUNT | startup PORT TIMEOUT PROGRAM..."
              << std::endl;
    return EXIT_FAILURE;
}
