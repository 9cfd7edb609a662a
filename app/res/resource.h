// Resource ids of pictaro.exe. Ranges: 100-199 templates, strings, icons,
// bitmaps and menus; 1000-1099 controls of the main window; 16 and
// 32768 and up: menu commands.
#pragma once

#define IDD_ABOUTBOX 100
#define IDD_PICTARO_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_SEEK_THUMB_ACTIVE 131
#define IDB_SEEK_TRACK 132
#define IDB_SEEK_TRACK_ACTIVE 133
#define IDB_SEEK_THUMB 134
#define IDD_PICKER 135
#define IDD_JPEG_QUALITY 136
#define IDR_MAIN_MENU 137

#define IDS_ABOUTBOX 101
#define IDS_READY_TO_PRINT 102
#define IDS_CAPTURED 103
#define IDS_CAPTURE_FIRST 104

#define IDC_PLAY_PAUSE 1004
#define IDC_PLAYER 1005
#define IDC_SEEK_SLIDER 1006
#define IDC_TOOLBAR 1007

// System menu entry; the system menu wants ids below 0xF000 with the low
// four bits clear.
#define IDM_ABOUTBOX 0x0010
#define IDM_STEPS_OPEN 32771
#define IDM_STEPS_CAPTURE 32772
#define IDM_STEPS_SAVE 32773
#define IDM_HELP_HOWTO 32774
#define IDM_FILE_EXIT 32776
#define IDM_HELP_ABOUT 32777
// The capture sizes in CaptureSize order: the first plus the size's value.
#define IDM_CAPTURE_SIZE_SCREEN 32780
#define IDM_CAPTURE_SIZE_DOUBLE 32781
#define IDM_CAPTURE_SIZE_QUADRUPLE 32782
#define IDM_CAPTURE_SIZE_PRINT 32783
#define IDM_STEPS_EVERY_FRAME 32784
#define IDM_STEPS_MUTE 32785
