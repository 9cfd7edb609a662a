// CSeekSlider: a horizontal seek bar drawn from bitmaps over a static
// control (which needs SS_NOTIFY, or the mouse goes through to the parent).
// It keeps a position in a range and tells its parent about user changes
// with two posted messages (wParam: control id, lParam: position); being
// posted, lParam may be stale by the time the parent reads it: GetPos is
// the truth.
#pragma once

#include "controls/SliderMapping.h"
#include "framework/Bitmap.h"
#include "framework/DC.h"
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
    // keyColour 0xFF000000: the colour of the bitmap's pixel (keyX, keyY).
    BOOL SetTrackBitmaps(UINT trackId, UINT activeId, BOOL transparent, COLORREF keyColour, int keyX, int keyY);
    BOOL SetThumbBitmaps(UINT thumbId, UINT activeId, BOOL transparent, COLORREF keyColour, int keyX, int keyY);
    void EnableSlider(BOOL enable);
    void SetFocusRect(BOOL draw, BOOL redraw);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    void OnLButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnLButtonUp();
    LRESULT OnGetDlgCode();
    void OnKeyDown(UINT key);
    void OnFocusChange(BOOL hasFocus);
    void OnDestroy();

    int PositionToPixel(int pos) const;
    int PixelToPosition(int pixel) const;
    SliderGeometry Geometry() const;
    void NotifyParent(UINT msg);
    void DeleteTrackBitmaps();
    void DeleteThumbBitmaps();
    void DeleteAllBitmaps();

    static void BuildMask(CBitmap& bitmap, CBitmap& mask, COLORREF keyColour, int keyX, int keyY);
    static void BlitPart(CDC& dest, int x, int y, int cx, int cy, CDC& source, CBitmap& bitmap, int sourceX,
                         int sourceY, CBitmap& mask, BOOL transparent);
    static void BlitMasked(CDC& dest, int x, int y, int cx, int cy, CDC& source, int sourceX, int sourceY,
                           CBitmap& mask);
    void DrawTrack(CDC& buffer, CDC& source);
    void DrawThumb(CDC& buffer, CDC& source);
    void SaveUnderThumb(CDC& buffer, int x, int y);
    void RestoreUnderThumb(CDC& buffer);

    int m_rangeMax = 100;
    int m_rangeMin = 0;
    int m_pos = 0;
    int m_pageStep = 20;
    RECT m_clientRect = {};
    int m_width = 0;
    int m_height = 0;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    int m_marginLeft = 0;
    int m_marginRight = 0;
    int m_marginTop = 0;
    int m_marginBottom = 0;
    int m_savedBgX = -1;
    int m_savedBgY = -1;
    int m_grabOffset = 0;
    BOOL m_hasActiveTrack = FALSE;
    BOOL m_hasActiveThumb = FALSE;
    BOOL m_trackTransparent = FALSE;
    BOOL m_thumbTransparent = FALSE;
    BOOL m_hasThumb = FALSE;
    BOOL m_hasTrack = FALSE;
    BOOL m_dragging = FALSE;
    BOOL m_hasFocus = FALSE;
    BOOL m_focusDrawn = FALSE;
    BOOL m_showFocusRect = TRUE;
    BOOL m_enabled = TRUE;

    CBitmap m_track;
    CBitmap m_trackMask;
    CBitmap m_trackActive;
    CBitmap m_trackActiveMask;
    CBitmap m_thumb;
    CBitmap m_thumbMask;
    CBitmap m_thumbActive;
    CBitmap m_thumbActiveMask;
    CBitmap m_savedBg;
};
