#include "capture/EveryFrameDlg.h"

#include <commctrl.h>

#include "capture/resource.h"

namespace {

constexpr UINT_PTR kStepTimer = 1;
// Frames are captured for this long before the loop hears input again:
// small frames go several at a time, large ones one a tick.
constexpr DWORD kSliceMs = 50;
constexpr const char* kCaption = "Capture Every Frame";

}  // namespace

CEveryFrameDlg::CEveryFrameDlg(CWnd* parent)
    : CDialog(IDD_EVERY_FRAME, parent), m_lastFrame(1), m_captured(0), m_total(0), m_next(0), m_running(false) {}

BOOL CEveryFrameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const FrameRange all{1, m_lastFrame, 1};
    ::SetDlgItemInt(m_hWnd, IDC_EVERY_FROM, all.from, FALSE);
    ::SetDlgItemInt(m_hWnd, IDC_EVERY_TO, all.to, FALSE);
    ::SetDlgItemInt(m_hWnd, IDC_EVERY_STEP, all.step, FALSE);
    return TRUE;
}

// An empty or unreadable box reads as 0, which no range accepts.
bool CEveryFrameDlg::ReadRange(FrameRange& range) {
    range.from = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_EVERY_FROM, nullptr, FALSE));
    range.to = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_EVERY_TO, nullptr, FALSE));
    range.step = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_EVERY_STEP, nullptr, FALSE));
    const CString problem = FrameRangeProblem(range, m_lastFrame);
    if (problem.IsEmpty()) return true;
    MessageBox(problem, kCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CEveryFrameDlg::OnOK() {
    if (m_running || !ReadRange(m_range)) return;
    m_total = FrameRangeCount(m_range);
    m_next = 0;
    m_running = true;
    for (int id : {IDC_EVERY_FROM, IDC_EVERY_TO, IDC_EVERY_STEP, IDOK}) ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
    ::SendDlgItemMessageA(m_hWnd, IDC_EVERY_PROGRESS, PBM_SETRANGE32, 0, m_total);
    ShowProgress(m_range.from);
    // A timer, not posted messages: those come before input, and Cancel
    // would never be heard.
    if (!SetTimer(kStepTimer, USER_TIMER_MINIMUM)) Finish(IDCANCEL);
}

void CEveryFrameDlg::OnCancel() { Finish(IDCANCEL); }

LRESULT CEveryFrameDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kStepTimer) {
        CaptureSome();
        return 0;
    }
    return CDialog::OnMessage(msg, wp, lp);
}

void CEveryFrameDlg::CaptureSome() {
    const DWORD start = ::GetTickCount();
    while (m_running && m_next < m_total && ::GetTickCount() - start < kSliceMs) {
        const int frame = FrameRangeFrame(m_range, m_next);
        ShowProgress(frame);
        if (!m_captureFrame || !m_captureFrame(frame)) {
            StopTimer();  // the message box's loop must not capture on
            MessageBox(CString::FormatText("Frame %d could not be captured. The frames before it are kept.", frame),
                       kCaption, MB_OK | MB_ICONEXCLAMATION);
            Finish(IDABORT);
            return;
        }
        ++m_captured;
        ++m_next;
    }
    ::SendDlgItemMessageA(m_hWnd, IDC_EVERY_PROGRESS, PBM_SETPOS, m_next, 0);
    if (m_next >= m_total) Finish(IDOK);
}

void CEveryFrameDlg::ShowProgress(int frame) {
    ::SetDlgItemTextA(m_hWnd, IDC_EVERY_STATUS,
                      CString::FormatText("Capturing frame %d (%d of %d)", frame, m_next + 1, m_total));
}

void CEveryFrameDlg::StopTimer() {
    if (m_running) KillTimer(kStepTimer);
    m_running = false;
}

void CEveryFrameDlg::Finish(int result) {
    StopTimer();
    EndDialog(result);
}
