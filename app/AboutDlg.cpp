#include "app/AboutDlg.hpp"

#include "res/Resource.h"

CAboutDlg::CAboutDlg()
    : Dialog(IDD_ABOUTBOX)
{}
