// The slider's drawing. Each paint is composed off screen and copied to the
// screen in one BitBlt, so the thumb never flickers. Transparent bitmaps are
// drawn with a mask built once: the mask (1 = key colour) is ANDed onto the
// background, clearing the opaque part, then the bitmap, whose key-colour
// pixels were made black when the mask was built, is ORed in.
#include "controls/SeekSlider.h"

namespace {

constexpr COLORREF kKeyFromPixel = 0xFF000000;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

void CSeekSlider::BuildMask(CBitmap& bitmap, CBitmap& mask, COLORREF keyColour, int keyX, int keyY) {
    BITMAP info = {};
    if (!bitmap.GetBitmap(&info)) return;
    if (!mask.CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr)) return;
    CDC bitmapDC, maskDC;
    if (!bitmapDC.CreateCompatibleDC(nullptr) || !maskDC.CreateCompatibleDC(nullptr)) return;
    bitmapDC.SelectObject(&bitmap);
    maskDC.SelectObject(&mask);
    if (keyColour == kKeyFromPixel) keyColour = bitmapDC.GetPixel(keyX, keyY);
    // Colour to monochrome: pixels of the background colour become 1.
    COLORREF oldBk = bitmapDC.SetBkColor(keyColour);
    maskDC.BitBlt(0, 0, info.bmWidth, info.bmHeight, &bitmapDC, 0, 0, SRCCOPY);
    // Monochrome to colour: 1 takes the background colour (black), 0 the
    // text colour (white); ANDed, the key-colour pixels turn black.
    COLORREF oldText = bitmapDC.SetTextColor(kWhite);
    bitmapDC.SetBkColor(kBlack);
    bitmapDC.BitBlt(0, 0, info.bmWidth, info.bmHeight, &maskDC, 0, 0, SRCAND);
    bitmapDC.SetTextColor(oldText);
    bitmapDC.SetBkColor(oldBk);
}

void CSeekSlider::BlitMasked(CDC& dest, int x, int y, int cx, int cy, CDC& source, int sourceX, int sourceY,
                             CBitmap& mask) {
    CDC maskDC;
    if (!maskDC.CreateCompatibleDC(nullptr)) return;
    maskDC.SelectObject(&mask);
    // The mask's 1 bits must land as white (keep) and its 0 bits as black
    // (clear), whatever colours the buffer was left with.
    COLORREF oldBk = dest.SetBkColor(kWhite);
    COLORREF oldText = dest.SetTextColor(kBlack);
    dest.BitBlt(x, y, cx, cy, &maskDC, sourceX, sourceY, SRCAND);
    dest.BitBlt(x, y, cx, cy, &source, sourceX, sourceY, SRCPAINT);
    dest.SetBkColor(oldBk);
    dest.SetTextColor(oldText);
}

void CSeekSlider::BlitPart(CDC& dest, int x, int y, int cx, int cy, CDC& source, CBitmap& bitmap, int sourceX,
                           int sourceY, CBitmap& mask, BOOL transparent) {
    if (cx <= 0 || cy <= 0 || !bitmap.m_hObject) return;
    HBITMAP previous = source.SelectObject(&bitmap);
    if (transparent && mask.m_hObject)
        BlitMasked(dest, x, y, cx, cy, source, sourceX, sourceY, mask);
    else
        dest.BitBlt(x, y, cx, cy, &source, sourceX, sourceY, SRCCOPY);
    source.SelectObject(previous);
}

// Left of the thumb's centre the active track, right of it the plain one.
void CSeekSlider::DrawTrack(CDC& buffer, CDC& source) {
    if (!m_hasTrack) return;
    if (m_hasActiveTrack && m_enabled) {
        int p = PositionToPixel(m_pos);
        BlitPart(buffer, p, 0, m_width - p, m_height, source, m_track, p, 0, m_trackMask, m_trackTransparent);
        BlitPart(buffer, 0, 0, p, m_height, source, m_trackActive, 0, 0, m_trackActiveMask, m_trackTransparent);
    } else {
        BlitPart(buffer, 0, 0, m_width, m_height, source, m_track, 0, 0, m_trackMask, m_trackTransparent);
    }
}

void CSeekSlider::SaveUnderThumb(CDC& buffer, int x, int y) {
    CDC saveDC;
    if (!saveDC.CreateCompatibleDC(&buffer)) return;
    if (!m_savedBg.CreateCompatibleBitmap(&buffer, m_thumbWidth, m_thumbHeight)) return;
    saveDC.SelectObject(&m_savedBg);
    saveDC.BitBlt(0, 0, m_thumbWidth, m_thumbHeight, &buffer, x, y, SRCCOPY);
    m_savedBgX = x;
    m_savedBgY = y;
}

void CSeekSlider::RestoreUnderThumb(CDC& buffer) {
    if (m_savedBgX == -1) return;
    CDC saveDC;
    if (saveDC.CreateCompatibleDC(&buffer) && m_savedBg.m_hObject) {
        saveDC.SelectObject(&m_savedBg);
        buffer.BitBlt(m_savedBgX, m_savedBgY, m_thumbWidth, m_thumbHeight, &saveDC, 0, 0, SRCCOPY);
    }
    m_savedBgX = -1;
}

void CSeekSlider::DrawThumb(CDC& buffer, CDC& source) {
    if (!m_hasThumb || !m_enabled) return;
    bool active = m_hasActiveThumb && m_dragging;
    CBitmap& bitmap = active ? m_thumbActive : m_thumb;
    CBitmap& mask = active ? m_thumbActiveMask : m_thumbMask;
    int x = PositionToPixel(m_pos) - m_thumbWidth / 2;
    int y = m_marginTop;
    // An opaque track repaints what the old thumb covered; otherwise the
    // picture under the new thumb is kept to wipe it next time.
    if (m_trackTransparent || !m_hasTrack) SaveUnderThumb(buffer, x, y);
    BlitPart(buffer, x, y, m_thumbWidth, m_thumbHeight, source, bitmap, 0, 0, mask, m_thumbTransparent);
}

void CSeekSlider::OnPaint() {
    CPaintDC dc(this);
    if (!dc.m_hDC) return;
    const RECT& rect = m_clientRect;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;  // no bitmap set yet: nothing known to paint

    CBitmap bufferBitmap;
    CDC buffer;
    if (!buffer.CreateCompatibleDC(&dc) || !bufferBitmap.CreateCompatibleBitmap(&dc, width, height)) return;
    buffer.SelectObject(&bufferBitmap);
    buffer.SetMapMode(dc.GetMapMode());
    buffer.SetWindowExt(dc.GetWindowExt());
    buffer.SetViewportExt(dc.GetViewportExt());
    buffer.SetWindowOrg(rect.left, rect.top);

    if (m_trackTransparent)
        buffer.BitBlt(rect.left, rect.top, width, height, &dc, rect.left, rect.top, SRCCOPY);
    else
        buffer.FillSolidRect(&rect, dc.GetBkColor());

    CDC source;
    if (!source.CreateCompatibleDC(&buffer)) return;
    // DrawFocusRect is an XOR: drawing it again removes the old one.
    if (m_focusDrawn && (m_trackTransparent || !m_hasTrack)) {
        buffer.DrawFocusRect(&rect);
        m_focusDrawn = FALSE;
    }
    DrawTrack(buffer, source);
    RestoreUnderThumb(buffer);
    DrawThumb(buffer, source);
    if (m_showFocusRect && m_hasFocus && m_enabled) {
        buffer.DrawFocusRect(&rect);
        m_focusDrawn = TRUE;
    }
    source.DeleteDC();
    dc.BitBlt(rect.left, rect.top, width, height, &buffer, rect.left, rect.top, SRCCOPY);
}
