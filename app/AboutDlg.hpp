#pragma once

#include "framework/Dialog.hpp"

// The about box: the program's name, version and purpose, and OK.
class CAboutDlg : public framework::Dialog {
public:
    CAboutDlg();
};
