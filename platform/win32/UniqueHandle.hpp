#pragma once

#include <utility>

#include <windows.h>

namespace platform {

// Owns one Win32 handle and closes it with Close exactly once. Move-only.
template <typename Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept
        : value(handle)
    {}
    UniqueHandle(UniqueHandle&& other) noexcept
        : value(other.release())
    {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return value; }
    explicit operator bool() const noexcept { return value != Invalid; }

    Handle release() noexcept { return std::exchange(value, Invalid); }
    void reset(Handle handle = Invalid) noexcept
    {
        if (value != Invalid) {
            Close(value);
        }
        value = handle;
    }
    // For functions that return the handle through an out-parameter.
    Handle* put() noexcept
    {
        reset();
        return &value;
    }

private:
    Handle value = Invalid;
};

using UniqueHkey = UniqueHandle<HKEY, &RegCloseKey>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;
using UniqueHicon = UniqueHandle<HICON, &DestroyIcon>;
using UniqueHmenu = UniqueHandle<HMENU, &DestroyMenu>;

// Releases a COM interface pointer; creation failures leave it empty.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept
        : pointer(std::exchange(other.pointer, nullptr))
    {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        reset(std::exchange(other.pointer, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const noexcept { return pointer; }
    Interface* operator->() const noexcept { return pointer; }
    explicit operator bool() const noexcept { return pointer != nullptr; }

    void reset(Interface* other = nullptr) noexcept
    {
        if (pointer != nullptr) {
            pointer->Release();
        }
        pointer = other;
    }
    // For creation functions that return the interface through void**.
    void** put() noexcept
    {
        reset();
        return reinterpret_cast<void**>(&pointer);
    }

private:
    Interface* pointer = nullptr;
};

} // namespace platform
