#include "app/SingleInstanceGuard.hpp"

#include <string>

SingleInstanceGuard::SingleInstanceGuard(std::wstring_view name)
    : mutexHandle(CreateMutexW(nullptr, FALSE, std::wstring(name).c_str()))
    , creationError(GetLastError())
{}

bool SingleInstanceGuard::anotherInstanceRuns() const noexcept
{
    return creationError == ERROR_ALREADY_EXISTS;
}
