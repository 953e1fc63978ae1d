// The program's global objects and its entry point.
#include "app/KelvoControlApp.hpp"
#include "app/SingleInstanceGuard.hpp"

#include <windows.h>

namespace {

// Made before the application object, in this order: a second copy must learn of
// the first before it touches anything.
const SingleInstanceGuard instanceGuard(instanceMutexName);
CKelvoControlApp application(instanceGuard);

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return framework::runApplication(application);
}
