// The real server host, as the program runs it, over a temporary player folder: for the
// benchmark script and the soak test. Prints "port N" and "folder F", then serves until
// its standard input closes. The player's operations are not performed.
//
//   kelvo_bench_host [--playlist-bytes N] [--tvguide-bytes N]
#include "service/ServerHost.hpp"
#include "settings/MemoryProfile.hpp"
#include "settings/Preferences.hpp"
#include "tests/support/Loopback.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

constexpr std::size_t defaultPlaylistBytes = 200 * 1024;
constexpr std::size_t defaultTvGuideBytes = 20 * 1024 * 1024;
constexpr std::string_view tvGuideName = "guide.zip";

// The player's window is always there and answers at once; nothing is started.
class ResponsiveDesktop final : public platform::IDesktop {
public:
    platform::WindowHandle findWindow(const std::wstring&) override { return &playerWindow; }

    bool sendMessage(platform::WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override
    {
        return true;
    }

    void startProgram(const std::wstring&, const std::wstring&, const std::wstring&) override {}

private:
    int playerWindow = 0;
};

void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// A channel list of exactly the given size: whole entries, the last one cut.
std::string channelList(std::size_t size)
{
    std::string text = "#EXTM3U\r\n";
    for (int channel = 1; text.size() < size; ++channel) {
        const auto number = std::to_string(channel);
        text += "#EXTINF:-1,Channel " + number + "\r\nhttp://tv.lan/stream/" + number + "\r\n";
    }
    text.resize(size);
    return text;
}

// Bytes that compress as badly as a real archive, the same in every run.
std::string archiveBytes(std::size_t size)
{
    std::mt19937 generator(1331);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// The player's folder: its settings file names the TV guide by its full path, and the
// local channel list is there, so every file route has a file to serve.
class PlayerFolder {
public:
    PlayerFolder(std::size_t playlistBytes, std::size_t tvGuideBytes)
        : folder(std::filesystem::temp_directory_path() /
                 ("kelvo-bench-" + std::to_string(getpid())))
    {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const auto tvGuide = folder / tvGuideName;
        writeFile(tvGuide, archiveBytes(tvGuideBytes));
        writeFile(folder / "KelvoPlayer.m3u", channelList(playlistBytes));
        writeFile(folder / "KelvoPlayer.User.ini",
                  "[Settings]\r\nurl-tvg=" + tvGuide.string() + "\r\n");
    }
    PlayerFolder(const PlayerFolder&) = delete;
    PlayerFolder& operator=(const PlayerFolder&) = delete;
    ~PlayerFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    const std::filesystem::path& path() const { return folder; }

private:
    std::filesystem::path folder;
};

std::size_t sizeArgument(int argc, char** argv, std::string_view name, std::size_t fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name) {
            return std::stoul(argv[i + 1]);
        }
    }
    return fallback;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const PlayerFolder folder(
            sizeArgument(argc, argv, "--playlist-bytes", defaultPlaylistBytes),
            sizeArgument(argc, argv, "--tvguide-bytes", defaultTvGuideBytes));
        MemoryProfile profile;
        profile.writeProfileString(L"General", L"PlayerLocation",
                                   (folder.path() / "KelvoPlayer.exe").wstring());
        profile.writeProfileInt(L"General", L"PlaylistSource", 0);
        Preferences preferences;
        ResponsiveDesktop desktop;
        std::unique_ptr<ServerHost> host;
        const auto port = testing_support::startOnFreePort([&](std::uint16_t freePort) {
            profile.writeProfileInt(L"General", L"Port", freePort);
            preferences.load(profile);
            host = std::make_unique<ServerHost>(preferences, desktop);
            return freePort;
        });
        std::cout << "port " << port << "\nfolder " << folder.path().string() << std::endl;

        while (std::cin.get() != std::char_traits<char>::eof()) {
        }
        host->stop();
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
