#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace framework {

// The system's open-file dialog, new style, modal to the active window. The filter
// comes as "Text|pattern|Text|pattern|", each text shown with the files matching its
// pattern.
class FileDialog {
public:
    explicit FileDialog(std::wstring_view filter);

    // IDOK when the user chose a file, else IDCANCEL.
    INT_PTR DoModal();

    // The full path of the chosen file.
    std::wstring GetPathName() const { return pathName; }

private:
    std::wstring filter;
    std::wstring pathName;
};

} // namespace framework
