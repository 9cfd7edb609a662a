// CShockwaveFlash: the program's handle on a player control window. Each
// operation is one call through the control's invoke entry point; the
// control keeps all state.
#pragma once

#include "framework/Wnd.h"

class CShockwaveFlash : public CWnd {
public:
    CShockwaveFlash() = default;
    ~CShockwaveFlash() override = default;

    long GetTotalFrames();
    void SetScaleMode(long mode);
    void SetAlignMode(long mode);
    void SetMovie(const char* path);
    long GetFrameNum();
    void SetFrameNum(long frame);
    void Play();
    BOOL IsPlaying();
    void Stop();
    void LoadMovie(long layer, const char* url);
    // 0 low, 1 high, 2 auto-low, 3 auto-high; names add "Medium" and "Best".
    long GetQuality();
    void SetQuality(long quality);
    void SetQuality2(const char* name);
    // Ours: the movie's sound off or on.
    bool GetMuted();
    void SetMuted(bool muted);
};
