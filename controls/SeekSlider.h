// CSeekSlider: a seek bar drawn from bitmaps over a static control. It keeps
// a position in a range and tells its parent about user changes with two
// posted messages (wParam: control id, lParam: position).
#pragma once

#include "framework/Static.h"

constexpr UINT WM_SEEK_MOVING = 0x28D1;
constexpr UINT WM_SEEK_MOVED = 0x28D2;

class CSeekSlider : public CStatic {
public:
    CSeekSlider();
    ~CSeekSlider() override;

    void SetRangeMax(int max, BOOL redraw);
    void SetRangeMin(int min, BOOL redraw);
    void SetRange(int min, int max, BOOL redraw);
    void SetPos(int pos);
    int GetPos() const;
    void SetMargins(int left, int top, int right, int bottom);
    BOOL SetTrackBitmaps(UINT trackId, UINT activeId, BOOL transparent, COLORREF keyColour, int keyX, int keyY);
    BOOL SetThumbBitmaps(UINT thumbId, UINT activeId, BOOL transparent, COLORREF keyColour, int keyX, int keyY);
    void EnableSlider(BOOL enable);
    void SetFocusRect(BOOL draw, BOOL redraw);

private:
    int m_rangeMax = 100;
    int m_rangeMin = 0;
    int m_pos = 0;
};
