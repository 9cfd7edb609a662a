// The slider's state, set-up and input. Painting is in SeekSliderPaint.cpp.
#include "controls/SeekSlider.h"

#include <windowsx.h>

#include <climits>

namespace {


int ClampToInt(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

CSeekSlider::CSeekSlider() = default;

CSeekSlider::~CSeekSlider() { DeleteAllBitmaps(); }

void CSeekSlider::SetRangeMax(int max, BOOL redraw) {
    m_rangeMax = max;
    if (redraw) InvalidateRect(nullptr, TRUE);
}

void CSeekSlider::SetRangeMin(int min, BOOL redraw) {
    m_rangeMin = min;
    if (redraw) InvalidateRect(nullptr, TRUE);
}

void CSeekSlider::SetRange(int min, int max, BOOL redraw) {
    SetRangeMin(min, FALSE);
    SetRangeMax(max, redraw);
}

// The minimum wins when the range is upside down.
void CSeekSlider::SetPos(int pos) {
    m_pos = pos;
    if (m_pos > m_rangeMax) m_pos = m_rangeMax;
    if (m_pos < m_rangeMin) m_pos = m_rangeMin;
    InvalidateRect(nullptr, TRUE);
}

int CSeekSlider::GetPos() const { return m_pos; }

void CSeekSlider::SetMargins(int left, int top, int right, int bottom) {
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
}

void CSeekSlider::DeleteTrackBitmaps() {
    m_track.DeleteObject();
    m_trackMask.DeleteObject();
    m_trackActive.DeleteObject();
    m_trackActiveMask.DeleteObject();
}

void CSeekSlider::DeleteThumbBitmaps() {
    m_thumb.DeleteObject();
    m_thumbMask.DeleteObject();
    m_thumbActive.DeleteObject();
    m_thumbActiveMask.DeleteObject();
    m_savedBg.DeleteObject();
    m_savedBgX = -1;
}

void CSeekSlider::DeleteAllBitmaps() {
    DeleteTrackBitmaps();
    DeleteThumbBitmaps();
}

BOOL CSeekSlider::SetTrackBitmaps(UINT trackId, UINT activeId, BOOL transparent, COLORREF keyColour, int keyX,
                                  int keyY) {
    if (trackId == 0) {
        m_hasTrack = FALSE;
        DeleteTrackBitmaps();
        return TRUE;
    }
    if (!m_track.LoadBitmap(trackId)) return FALSE;
    if (transparent) BuildMask(m_track, m_trackMask, keyColour, keyX, keyY);
    m_hasActiveTrack = FALSE;
    if (activeId != 0) {
        if (!m_trackActive.LoadBitmap(activeId)) {
            m_track.DeleteObject();
            if (transparent) m_trackMask.DeleteObject();
            return FALSE;
        }
        if (transparent) BuildMask(m_trackActive, m_trackActiveMask, keyColour, keyX, keyY);
        m_hasActiveTrack = TRUE;
    }
    BITMAP info = {};
    m_track.GetBitmap(&info);
    m_width = info.bmWidth;
    m_height = info.bmHeight;
    SetWindowPos(nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(&m_clientRect);
    m_trackTransparent = transparent;
    m_hasTrack = TRUE;
    return TRUE;
}

BOOL CSeekSlider::SetThumbBitmaps(UINT thumbId, UINT activeId, BOOL transparent, COLORREF keyColour, int keyX,
                                  int keyY) {
    if (thumbId == 0) {
        m_hasThumb = FALSE;
        DeleteThumbBitmaps();
        return TRUE;
    }
    if (!m_thumb.LoadBitmap(thumbId)) return FALSE;
    if (transparent) BuildMask(m_thumb, m_thumbMask, keyColour, keyX, keyY);
    m_hasActiveThumb = FALSE;
    if (activeId != 0) {
        if (!m_thumbActive.LoadBitmap(activeId)) {
            m_thumb.DeleteObject();
            if (transparent) m_thumbMask.DeleteObject();
            return FALSE;
        }
        if (transparent) BuildMask(m_thumbActive, m_thumbActiveMask, keyColour, keyX, keyY);
        m_hasActiveThumb = TRUE;
    }
    BITMAP info = {};
    m_thumb.GetBitmap(&info);
    m_thumbWidth = info.bmWidth;
    m_thumbHeight = info.bmHeight;
    if (!m_hasTrack) {
        GetClientRect(&m_clientRect);
        m_width = m_clientRect.right - m_clientRect.left;
        m_height = m_clientRect.bottom - m_clientRect.top;
    }
    m_thumbTransparent = transparent;
    m_hasThumb = TRUE;
    return TRUE;
}

// Disabling mid-drag ends the drag quietly: the parent gets no WM_SEEK_MOVED.
void CSeekSlider::EnableSlider(BOOL enable) {
    m_enabled = enable;
    if (!enable && m_dragging) {
        m_dragging = FALSE;
        ReleaseCapture();
    }
    InvalidateRect(nullptr, TRUE);
}

void CSeekSlider::SetFocusRect(BOOL draw, BOOL redraw) {
    m_showFocusRect = draw;
    if (redraw) InvalidateRect(nullptr, TRUE);
}

SliderGeometry CSeekSlider::Geometry() const {
    SliderGeometry geometry;
    geometry.width = m_width;
    geometry.thumbWidth = m_thumbWidth;
    geometry.marginLeft = m_marginLeft;
    geometry.marginRight = m_marginRight;
    geometry.rangeMin = m_rangeMin;
    geometry.rangeMax = m_rangeMax;
    return geometry;
}

int CSeekSlider::PositionToPixel(int pos) const { return ::PositionToPixel(Geometry(), pos); }
int CSeekSlider::PixelToPosition(int pixel) const { return ::PixelToPosition(Geometry(), pixel); }

void CSeekSlider::NotifyParent(UINT msg) {
    CWnd* parent = GetParent();
    if (parent) parent->PostMessage(msg, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(m_pos));
}

LRESULT CSeekSlider::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    POINT point = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_ERASEBKGND: return TRUE;  // painting covers everything; erasing would flicker
    case WM_PAINT: OnPaint(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(point); return Default();
    case WM_MOUSEMOVE: OnMouseMove(point); return Default();
    case WM_LBUTTONUP: OnLButtonUp(); return Default();
    case WM_GETDLGCODE: return OnGetDlgCode();
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wp)); return Default();
    case WM_KILLFOCUS: {
        LRESULT result = Default();
        OnFocusChange(FALSE);
        return result;
    }
    case WM_SETFOCUS: {
        LRESULT result = Default();
        OnFocusChange(TRUE);
        return result;
    }
    case WM_DESTROY: {
        LRESULT result = Default();
        OnDestroy();
        return result;
    }
    }
    return CStatic::OnMessage(msg, wp, lp);
}

// A press on the thumb keeps the grabbed point under the pointer; a press
// elsewhere makes the thumb's centre jump there.
void CSeekSlider::OnLButtonDown(POINT point) {
    if (!m_enabled) return;
    SetCapture();
    SetFocus();
    m_dragging = TRUE;
    int d = point.x - PositionToPixel(m_pos);
    int half = m_thumbWidth / 2;
    m_grabOffset = (d > half || d < -half) ? 0 : d;
    OnMouseMove(point);
    InvalidateRect(nullptr, TRUE);
}

void CSeekSlider::OnMouseMove(POINT point) {
    if (!m_dragging || !m_enabled) return;
    int target = ClampToInt(static_cast<long long>(point.x) - m_grabOffset);
    int lowest = m_marginLeft + m_thumbWidth / 2;
    int highest = m_width - m_thumbWidth / 2 - m_marginRight;
    if (target < lowest) target = lowest;
    if (target > highest) target = highest;
    if (target == PositionToPixel(m_pos)) return;
    SetPos(PixelToPosition(target));
    NotifyParent(WM_SEEK_MOVING);
}

void CSeekSlider::OnLButtonUp() {
    if (!m_enabled) return;
    ReleaseCapture();
    m_dragging = FALSE;
    InvalidateRect(nullptr, TRUE);
    NotifyParent(WM_SEEK_MOVED);
}

// Tab must still move the focus; every other key (Enter and Escape too)
// belongs to the slider while it has the focus.
LRESULT CSeekSlider::OnGetDlgCode() {
    if (::GetKeyState(VK_TAB) < 0) return Default();
    return DLGC_WANTALLKEYS;
}

void CSeekSlider::OnKeyDown(UINT key) {
    if (!m_enabled) return;
    long long pos = m_pos;
    switch (key) {
    case VK_PRIOR: pos -= m_pageStep; break;
    case VK_NEXT: pos += m_pageStep; break;
    case VK_END: pos = m_rangeMax; break;
    case VK_HOME: pos = m_rangeMin; break;
    case VK_LEFT:
    case VK_UP: pos -= 1; break;
    case VK_RIGHT:
    case VK_DOWN: pos += 1; break;
    default: return;
    }
    SetPos(ClampToInt(pos));
    NotifyParent(WM_SEEK_MOVED);
}

void CSeekSlider::OnFocusChange(BOOL hasFocus) {
    m_hasFocus = hasFocus;
    InvalidateRect(nullptr, TRUE);
}

void CSeekSlider::OnDestroy() { DeleteAllBitmaps(); }
