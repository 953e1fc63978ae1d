#pragma once

#include "platform/win32/UniqueHandle.hpp"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include <windows.h>

namespace testing_support {

inline void releaseScreenDc(HDC screen)
{
    ReleaseDC(nullptr, screen);
}

using ScreenDc = platform::UniqueHandle<HDC, &releaseScreenDc>;
using MemoryDc = platform::UniqueHandle<HDC, &DeleteDC>;
using Bitmap = platform::UniqueHandle<HBITMAP, &DeleteObject>;

// The colour shown at a point of the screen, whichever program's window shows it.
inline COLORREF screenPixel(int x, int y)
{
    const ScreenDc screen(GetDC(nullptr));
    const MemoryDc memory(CreateCompatibleDC(screen.get()));
    const Bitmap bitmap(CreateCompatibleBitmap(screen.get(), 1, 1));
    const auto previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, 1, 1, screen.get(), x, y, SRCCOPY);
    const auto colour = GetPixel(memory.get(), 0, 0);
    SelectObject(memory.get(), previous);
    return colour;
}

// Saves the whole screen as a 24-bit BMP file, for a person to look at afterwards.
inline bool saveScreenshot(const std::filesystem::path& file)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const ScreenDc screen(GetDC(nullptr));
    const MemoryDc memory(CreateCompatibleDC(screen.get()));
    const Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const auto previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const auto rowSize = static_cast<std::size_t>((width * 3 + 3) & ~3);
    std::vector<char> pixels(rowSize * static_cast<std::size_t>(height));
    const int rows = GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height),
                               pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (rows != height) {
        return false;
    }

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

} // namespace testing_support
