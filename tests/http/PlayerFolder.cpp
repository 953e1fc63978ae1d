#include "tests/http/PlayerFolder.hpp"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace http {
namespace {

std::filesystem::path createUniqueFolder()
{
    constexpr int attempts = 100;
    static int created = 0;
    const auto base = std::filesystem::temp_directory_path();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < attempts; ++attempt) {
        std::string name = "kelvo-http-";
        name += std::to_string(stamp);
        name += '-';
        name += std::to_string(++created);
        const auto candidate = base / name;
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
    throw std::runtime_error("no free name for a temporary folder");
}

} // namespace

PlayerFolder::PlayerFolder()
    : folder(createUniqueFolder())
{
    preferences.playerLocation = pathOf(L"KelvoPlayer.exe");
}

PlayerFolder::~PlayerFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::wstring PlayerFolder::write(const std::wstring& name, std::string_view bytes) const
{
    const auto file = pathOf(name);
    std::ofstream stream(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) {
        throw std::runtime_error("cannot write a test file");
    }
    return file;
}

std::wstring PlayerFolder::pathOf(const std::wstring& name) const
{
    return (folder / name).make_preferred().wstring();
}

} // namespace http
