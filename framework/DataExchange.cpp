#include "framework/DataExchange.hpp"

#include "framework/MessageBox.hpp"
#include "framework/Module.hpp"
#include "framework/Window.hpp"
#include "res/Resource.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace framework {

namespace {

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// A decimal integer with an optional sign, surrounded by nothing but blanks and tabs.
std::optional<int> parseInteger(std::wstring_view text)
{
    auto position = text.begin();
    const auto end = text.end();
    while (position != end && isBlank(*position)) {
        ++position;
    }
    const bool negative = position != end && *position == L'-';
    if (position != end && (*position == L'-' || *position == L'+')) {
        ++position;
    }
    const auto digits = position;
    long long magnitude = 0;
    constexpr long long beyondInt = std::numeric_limits<int>::max() + 2LL;
    for (; position != end && *position >= L'0' && *position <= L'9'; ++position) {
        magnitude = std::min(magnitude * 10 + (*position - L'0'), beyondInt);
    }
    if (position == digits) {
        return std::nullopt;
    }
    while (position != end && isBlank(*position)) {
        ++position;
    }
    if (position != end) {
        return std::nullopt;
    }
    const auto number = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(number, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

// A message text with %1, %2, ... replaced by the arguments.
std::wstring formatMessage(std::wstring_view pattern, const std::vector<std::wstring>& arguments)
{
    std::wstring text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const auto next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        const auto index = static_cast<std::size_t>(next - L'1');
        if (pattern[i] == L'%' && next >= L'1' && next <= L'9' && index < arguments.size()) {
            text += arguments[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

bool isRadioButton(HWND control)
{
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

bool startsGroup(HWND control)
{
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_GROUP) != 0;
}

} // namespace

DataExchange::DataExchange(Window& dialog, bool saveAndValidate)
    : saveAndValidate(saveAndValidate)
    , dialog(dialog)
{}

HWND DataExchange::prepareControl(int id)
{
    lastControl = dialog.GetDlgItem(id);
    lastControlIsEdit = false;
    return lastControl;
}

HWND DataExchange::prepareEditControl(int id)
{
    prepareControl(id);
    lastControlIsEdit = true;
    return lastControl;
}

void DataExchange::fail(std::wstring_view message)
{
    messageBox(message, MB_ICONEXCLAMATION | MB_OK);
    if (lastControl != nullptr) {
        SetFocus(lastControl);
        if (lastControlIsEdit) {
            SendMessageW(lastControl, EM_SETSEL, 0, -1);
        }
    }
    throw Failure{};
}

void DDX_Text(DataExchange& exchange, int id, std::wstring& value)
{
    const auto control = exchange.prepareEditControl(id);
    if (exchange.saveAndValidate) {
        value = windowText(control);
    } else {
        SetWindowTextW(control, value.c_str());
    }
}

void DDX_Text(DataExchange& exchange, int id, int& value)
{
    const auto control = exchange.prepareEditControl(id);
    if (!exchange.saveAndValidate) {
        SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    const auto number = parseInteger(windowText(control));
    if (!number) {
        exchange.fail(loadString(IDS_PARSE_INT));
    }
    value = *number;
}

void DDV_MinMaxInt(DataExchange& exchange, int value, int minimum, int maximum)
{
    if (exchange.saveAndValidate && (value < minimum || value > maximum)) {
        exchange.fail(formatMessage(loadString(IDS_PARSE_INT_RANGE),
                                    {std::to_wstring(minimum), std::to_wstring(maximum)}));
    }
}

void DDX_Check(DataExchange& exchange, int id, int& value)
{
    const auto control = exchange.prepareControl(id);
    if (exchange.saveAndValidate) {
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(DataExchange& exchange, int id, int& value)
{
    const auto first = exchange.prepareControl(id);
    if (exchange.saveAndValidate) {
        value = -1;
    }
    int index = 0;
    for (auto control = first; control != nullptr && (control == first || !startsGroup(control));
         control = GetWindow(control, GW_HWNDNEXT)) {
        if (!isRadioButton(control)) {
            continue;
        }
        if (!exchange.saveAndValidate) {
            SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        } else if (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            value = index;
        }
        ++index;
    }
}

} // namespace framework
