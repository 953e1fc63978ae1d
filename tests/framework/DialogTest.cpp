#include "UiDriver.hpp"
#include "app/AboutDlg.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const std::wstring aboutCaption = L"О программе Kelvo Player Remote Server";

bool showsAnIcon(HWND control)
{
    return (GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// The texts of the dialog's controls in order, the icon's place marked.
std::vector<std::wstring> childTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    for (auto child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(showsAnIcon(child) ? L"<icon>" : ui::textOf(child));
    }
    return texts;
}

TEST(Dialog, AboutBoxShowsItsTextsAndEndsWithOk)
{
    CAboutDlg about;
    std::vector<std::wstring> texts;
    bool okFocused = false;

    const auto result = ui::ModalScript::run(
        [&] { return about.DoModal(); },
        [&](DWORD uiThread) {
            const auto dialog = ui::waitForDialog(uiThread, aboutCaption);
            if (dialog == nullptr) {
                return;
            }
            texts = childTexts(dialog);
            okFocused =
                ui::waitUntil([&] { return ui::focusOf(uiThread) == GetDlgItem(dialog, IDOK); });
            ui::saveScreenshot(dialog, "screenshots/about.bmp");
            PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        });

    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(okFocused);
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         L"<icon>", L"Kelvo Player Remote Server", L"Версия 2.1",
                         L"Сервер для удаленного управления проигрывателем Kelvo Player", L"ОК"}));
    EXPECT_EQ(about.handle(), nullptr);
}

TEST(Dialog, EscapeAndTheCloseBoxEndWithCancel)
{
    for (const UINT closing : {UINT{WM_KEYDOWN}, UINT{WM_CLOSE}}) {
        CAboutDlg about;
        const auto result = ui::ModalScript::run(
            [&] { return about.DoModal(); },
            [&](DWORD uiThread) {
                const auto dialog = ui::waitForDialog(uiThread, aboutCaption);
                if (closing == WM_KEYDOWN) {
                    PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
                } else {
                    PostMessageW(dialog, WM_CLOSE, 0, 0);
                }
            });
        EXPECT_EQ(result, IDCANCEL) << "closed by message " << closing;
    }
}

} // namespace
