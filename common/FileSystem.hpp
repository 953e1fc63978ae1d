#pragma once

#include <filesystem>

// Whether anything (file or folder) exists at the path. A test that cannot be made,
// for instance for lack of access, counts as absent: callers treat both alike.
inline bool pathExists(const std::filesystem::path& path) noexcept
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}
