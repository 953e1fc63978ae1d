#include "app/StatusText.hpp"

#include "common/Product.hpp"

namespace {

constexpr std::wstring_view notConfigured = L"Сервер не настроен.";
constexpr std::wstring_view stopped = L"Статус: Остановлен";
constexpr std::wstring_view running = L"Статус: Работает";
constexpr std::wstring_view oneAddress = L"IP-адрес: ";
// The letter before the colon is the Latin "a", as the program has always shown it.
constexpr std::wstring_view severalAddresses = L"IP-адресa:";

std::wstring firstLine()
{
    return std::wstring(productName) + L"\n";
}

} // namespace

std::wstring notConfiguredStatusText()
{
    return firstLine() + std::wstring(notConfigured);
}

std::wstring serverStatusText(bool isRunning, const std::vector<std::wstring>& addresses)
{
    auto text = firstLine();
    if (!isRunning) {
        return text + std::wstring(stopped);
    }
    text += std::wstring(running) + L"\n";
    if (addresses.size() == 1) {
        return text + std::wstring(oneAddress) + addresses.front();
    }
    if (addresses.size() > 1) {
        text += severalAddresses;
        for (const auto& address : addresses) {
            text += L"\n" + address;
        }
    }
    return text;
}
