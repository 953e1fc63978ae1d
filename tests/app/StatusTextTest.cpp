#include "app/StatusText.hpp"

#include <gtest/gtest.h>

namespace {

TEST(StatusTextTest, ShowsTheStateAndWhileRunningTheAddresses)
{
    const struct {
        bool running;
        std::vector<std::wstring> addresses;
        std::wstring text;
    } cases[] = {
        {false, {L"192.168.1.5"}, L"Kelvo Player Remote Server\nСтатус: Остановлен"},
        {true, {}, L"Kelvo Player Remote Server\nСтатус: Работает\n"},
        {true,
         {L"192.168.1.5"},
         L"Kelvo Player Remote Server\nСтатус: Работает\nIP-адрес: 192.168.1.5"},
        // The letter before the colon is the Latin "a".
        {true,
         {L"192.168.1.5", L"10.0.0.2"},
         L"Kelvo Player Remote Server\nСтатус: Работает\nIP-адрес\u0061:\n192.168.1.5\n10.0.0.2"},
    };
    for (const auto& [running, addresses, text] : cases) {
        EXPECT_EQ(serverStatusText(running, addresses), text);
    }
    EXPECT_EQ(notConfiguredStatusText(), L"Kelvo Player Remote Server\nСервер не настроен.");
}

} // namespace
