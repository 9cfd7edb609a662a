#include "picker/PrintFit.h"

#include <cstdint>

PageRect FitToPage(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight, int dpiX, int dpiY) {
    PageRect fit;
    if (pictureWidth <= 0 || pictureHeight <= 0 || pageWidth <= 0 || pageHeight <= 0 || dpiX <= 0 || dpiY <= 0)
        return fit;
    // In inches the page is pageWidth / dpiX by pageHeight / dpiY; the
    // picture fills the width when it is relatively wider than the page.
    const int64_t w = pictureWidth, h = pictureHeight;
    if (w * pageHeight * dpiX >= h * pageWidth * dpiY) {
        fit.width = pageWidth;
        fit.height = static_cast<int>((h * pageWidth * dpiY + w * dpiX / 2) / (w * dpiX));
    } else {
        fit.height = pageHeight;
        fit.width = static_cast<int>((w * pageHeight * dpiX + h * dpiY / 2) / (h * dpiY));
    }
    if (fit.width < 1) fit.width = 1;
    if (fit.height < 1) fit.height = 1;
    fit.x = (pageWidth - fit.width) / 2;
    fit.y = (pageHeight - fit.height) / 2;
    return fit;
}

bool DrawnLargerThanScreen(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight) {
    if (screenWidth <= 0 || screenHeight <= 0) return false;  // unknown: the screen's own picture
    return pictureWidth > screenWidth || pictureHeight > screenHeight;
}
