// Resource ids of the capture dialogs: template 140, controls 1100-1109.
#pragma once

#define IDD_EVERY_FRAME 140

#define IDC_EVERY_FROM 1100
#define IDC_EVERY_TO 1101
#define IDC_EVERY_STEP 1102
#define IDC_EVERY_STATUS 1103
#define IDC_EVERY_PROGRESS 1104
