// Resource ids of the picker's dialogs. Controls of template 135 and 136.
#pragma once

#ifndef IDD_PICKER
#define IDD_PICKER 135
#endif
#ifndef IDD_JPEG_QUALITY
#define IDD_JPEG_QUALITY 136
#endif

#define IDC_PICKER_OPEN 1000
#define IDC_PICKER_PRINT 1002
#define IDC_QUALITY_SLIDER 1003
#define IDC_PICKER_SAVE 1004
#define IDC_CAPTURE_LIST 1007
#define IDC_PICKER_SAVE_ALL 1010
#define IDC_WATERMARK 1012
