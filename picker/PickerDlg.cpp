#include "picker/PickerDlg.h"

#include <shellapi.h>

#include "capture/CaptureNames.h"
#include "framework/DataExchange.h"
#include "picker/resource.h"

namespace {

constexpr int kMaxWatermarkChars = 100;
// Alt pressed: repeat count 1, scan code 0x38, context bit 29.
constexpr LPARAM kAltKeyDownLParam = 0x20380001;
constexpr int kNoItem = -1;

}  // namespace

CPickerDlg::CPickerDlg(CWnd* parent)
    : CDialog(IDD_PICKER, parent), m_nCaptureCount(0), m_screenWidth(0), m_screenHeight(0) {}

// The list view has no LVS_SHAREIMAGELISTS: it destroyed the image list
// with itself, so it must not be destroyed here a second time.
CPickerDlg::~CPickerDlg() { m_imageList.Detach(); }

void CPickerDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_CAPTURE_LIST, m_listCaptures);
    DDX_Text(dx, IDC_WATERMARK, m_strWatermark);
    DDV_MaxChars(dx, m_strWatermark, kMaxWatermarkChars);
}

BOOL CPickerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillCaptureList(m_strCaptureFolder);
    // As if the user had pressed Alt: the dialog shows its keyboard cues
    // from the start.
    PostMessage(WM_SYSKEYDOWN, VK_MENU, kAltKeyDownLParam);
    return TRUE;
}

BOOL CPickerDlg::OnCommand(UINT id, UINT code) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_PICKER_OPEN: OnOpen(); return TRUE;
        case IDC_PICKER_PRINT: OnPrint(); return TRUE;
        case IDC_PICKER_SAVE: OnSave(); return TRUE;
        case IDC_PICKER_SAVE_ALL: OnSaveAll(); return TRUE;
        }
    }
    return CDialog::OnCommand(id, code);
}

BOOL CPickerDlg::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom == IDC_CAPTURE_LIST && header->code == NM_DBLCLK) {
        OnDblclkCaptureList(header, result);
        return TRUE;
    }
    return CDialog::OnNotify(header, result);
}

int CPickerDlg::SelectedItemOrAsk() {
    int item = m_listCaptures.GetNextItem(kNoItem, LVNI_SELECTED);
    if (item < 0) MessageBox("Choose a capture before continue.", "Pick one capture", MB_OK);
    return item;
}

CString CPickerDlg::CapturePathOfItem(int item) const {
    return CapturePathFromLabel(m_strCaptureFolder, m_listCaptures.GetItemText(item, 0));
}

void CPickerDlg::KeepItem(int item) {
    int number = CaptureNumberOfLabel(m_listCaptures.GetItemText(item, 0));
    if (number >= 0) m_keptCaptures.insert(number);
}

// The shell's viewer reports its own failures; a missing viewer is not ours.
void CPickerDlg::OpenInShell(int item) {
    ::ShellExecuteA(m_hWnd, "open", CapturePathOfItem(item), nullptr, nullptr, SW_SHOWNORMAL);
}

void CPickerDlg::OnOpen() {
    int item = SelectedItemOrAsk();
    if (item >= 0) OpenInShell(item);
}

// The item under the pointer, whatever else is selected.
void CPickerDlg::OnDblclkCaptureList(NMHDR* header, LRESULT* result) {
    const NMITEMACTIVATE* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (activate->iItem >= 0) OpenInShell(activate->iItem);
    *result = 0;
}
