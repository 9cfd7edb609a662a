#include "player/OpenMovie.h"

#include "framework/FileDialog.h"
#include "player/ReadSwfStageRect.h"

namespace {

constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace

bool ChooseMovieFile(CString& path) {
    CString filter =
        CString::FormatText("%s (*.swf)|*.swf|%s (*.*)|*.*||", "Shockwave Flash File", "All Files");
    // The dialog does not insist that the file exists: a typed name that does
    // not is reported by the header reader.
    CFileDialog dialog(TRUE, "swf", nullptr, kOpenFlags, filter);
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    return true;
}

RECT FitPlayerToMovie(CWnd& window, CWnd& player, const RECT& clientRectAtStart, const CString& path) {
    RECT movieRect = ReadSwfStageRect(path);
    // A stage whose edges are swapped has no area rather than a negative one.
    int width = Width(movieRect) > 0 ? Width(movieRect) : 0;
    int height = Height(movieRect) > 0 ? Height(movieRect) : 0;

    RECT playerRect;
    player.GetWindowRect(&playerRect);
    window.ScreenToClient(&playerRect);
    int playerTop = playerRect.top;
    player.SetWindowPos(&wndTop, 0, 0, width, height, SWP_NOMOVE);

    // Strictly larger only: the window grows but never shrinks here.
    if (width > Width(clientRectAtStart) || height > Height(clientRectAtStart)) {
        int windowWidth = width + 2 * ::GetSystemMetrics(SM_CXFRAME);
        int windowHeight = height + ::GetSystemMetrics(SM_CYCAPTION) + playerTop + ::GetSystemMetrics(SM_CYMENU) +
                           2 * ::GetSystemMetrics(SM_CYFRAME);
        window.SetWindowPos(&wndTopMost, 0, 0, windowWidth, windowHeight, SWP_NOMOVE);
        window.CenterWindow();
    }
    return movieRect;
}
