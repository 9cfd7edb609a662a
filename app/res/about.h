// Control ids of the About box (template IDD_ABOUTBOX).
#pragma once

#define IDC_ABOUT_STATIC (-1)
#define IDC_MAKER_LINK 1015
