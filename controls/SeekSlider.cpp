// Pending: the bitmap seek slider arrives with its own change. Until then
// the range and position are kept (the main window's timer and seek
// handlers use them), nothing is drawn and bitmap loading reports failure.
#include "controls/SeekSlider.h"

CSeekSlider::CSeekSlider() = default;
CSeekSlider::~CSeekSlider() = default;

void CSeekSlider::SetRangeMax(int max, BOOL) { m_rangeMax = max; }
void CSeekSlider::SetRangeMin(int min, BOOL) { m_rangeMin = min; }

void CSeekSlider::SetRange(int min, int max, BOOL redraw) {
    SetRangeMin(min, FALSE);
    SetRangeMax(max, redraw);
}

void CSeekSlider::SetPos(int pos) {
    m_pos = pos;
    if (m_pos > m_rangeMax) m_pos = m_rangeMax;
    if (m_pos < m_rangeMin) m_pos = m_rangeMin;
}

int CSeekSlider::GetPos() const { return m_pos; }
void CSeekSlider::SetMargins(int, int, int, int) {}
BOOL CSeekSlider::SetTrackBitmaps(UINT, UINT, BOOL, COLORREF, int, int) { return FALSE; }
BOOL CSeekSlider::SetThumbBitmaps(UINT, UINT, BOOL, COLORREF, int, int) { return FALSE; }
void CSeekSlider::EnableSlider(BOOL) {}
void CSeekSlider::SetFocusRect(BOOL, BOOL) {}
