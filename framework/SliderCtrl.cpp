#include "framework/SliderCtrl.h"

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL redraw) {
    ::SendMessageA(m_hWnd, TBM_SETRANGEMIN, FALSE, minimum);
    ::SendMessageA(m_hWnd, TBM_SETRANGEMAX, static_cast<WPARAM>(redraw), maximum);
}

int CSliderCtrl::GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, TBM_GETPOS, 0, 0)); }

void CSliderCtrl::SetPos(int position) { ::SendMessageA(m_hWnd, TBM_SETPOS, TRUE, position); }

void CSliderCtrl::SetTicFreq(int frequency) { ::SendMessageA(m_hWnd, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0); }
