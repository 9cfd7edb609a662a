// Player controls in a window of the test's own, as a dialog would hold
// them, with the events they raise recorded; the test movies by name.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "player/ShockwaveFlash.h"
#include "swf/model/Color.h"
#include "tests/win/common/TestMovies.h"

namespace playertest {

using wintest::MoviePath;

struct RaisedEvent {
    UINT ctrlId;
    DISPID dispid;
    std::vector<std::string> strings;
};

class PlayerHost {
public:
    PlayerHost();
    ~PlayerHost();
    // A player control child at (x, y) of the host's client area.
    CShockwaveFlash& AddPlayer(int x, int y, int width, int height);
    HWND Window() const { return m_hwnd; }
    const std::vector<RaisedEvent>& Events() const;

private:
    HWND m_hwnd = nullptr;
    std::vector<std::unique_ptr<CShockwaveFlash>> m_players;
};

// The colour the window shows at client (x, y), after pending paints.
COLORREF PixelAt(HWND hwnd, int x, int y);
// The same through PrintWindow (WM_PRINTCLIENT), as a covered window gives it.
COLORREF PrintedPixelAt(HWND hwnd, int x, int y);
// Every client pixel through PrintWindow, row by row (empty on failure).
std::vector<COLORREF> PrintedPixels(HWND hwnd);
inline COLORREF ToColorRef(const swf::Rgba& c) { return RGB(c.r, c.g, c.b); }

}  // namespace playertest
