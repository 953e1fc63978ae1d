#include "framework/FileDialog.hpp"

#include "framework/MessageBox.hpp"

#include <algorithm>
#include <vector>

#include <commdlg.h>

namespace framework {

namespace {

// Room for the longest path the system hands out.
constexpr DWORD pathBufferLength = 32768;

// The system wants the texts and patterns each ended by a null character, and the
// list ended by one more.
std::wstring toFilterList(std::wstring_view filter)
{
    std::wstring list(filter);
    std::replace(list.begin(), list.end(), L'|', L'\0');
    if (list.empty() || list.back() != L'\0') {
        list += L'\0';
    }
    list += L'\0';
    return list;
}

} // namespace

FileDialog::FileDialog(std::wstring_view filter)
    : filter(toFilterList(filter))
{}

INT_PTR FileDialog::DoModal()
{
    std::vector<wchar_t> path(pathBufferLength, L'\0');
    OPENFILENAMEW description{};
    description.lStructSize = sizeof(description);
    description.hwndOwner = activeOwner();
    description.lpstrFilter = filter.c_str();
    description.nFilterIndex = 1;
    description.lpstrFile = path.data();
    description.nMaxFile = pathBufferLength;
    description.Flags = OFN_EXPLORER;
    if (GetOpenFileNameW(&description) == FALSE) {
        return IDCANCEL;
    }
    pathName = path.data();
    return IDOK;
}

} // namespace framework
