// The player control: a window class of ours that plays SWF movies with the
// engine. Dialog templates create it by class name; the program talks to it
// through CShockwaveFlash (the invoke entry point, framework/Dispatch.h) and
// hears its FSCommand events in the parent's OnEvent.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Dispatch.h"
#include "player/AudioOut.h"
#include "player/PlayerProperties.h"
#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"

class PlayerControl {
public:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // For tests: the control object behind a window of the class.
    static PlayerControl* FromWindow(HWND hwnd);
    const PlayerProperties& Properties() const { return m_properties; }
    const std::wstring& MoviePath() const { return m_moviePath; }
    swf::Player& Engine() { return m_engine; }

private:
    explicit PlayerControl(HWND hwnd);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate(const CREATESTRUCTA* create);
    void OnInvoke(DispCall* call);
    void OnPaint();
    void PaintTo(HDC dc);
    void OnSize();
    void OnClockTick();
    void OnPointer(UINT msg, LPARAM lp);
    void OnCaptureChanged(HWND newCapture);
    void OnMouseLeave();
    void OnKey(UINT msg, WPARAM wp);
    void OnWheel(WPARAM wp);
    void OnFocus(bool in);
    void OnQuality(DispCall* call, bool byName);
    bool OnDrawPicture(swf::FrameBuffer* out);
    BOOL OnSetCursor(WPARAM wp, LPARAM lp);
    void ShowEngineCursor();
    void Load(const std::wstring& path);
    void StartSound();
    void StartClock();
    void Refresh();
    void RenderIfNeeded();
    void DropMovie();
    void QueueFsCommand(const std::string& command, const std::string& args);
    void DeliverEvents();

    HWND m_hwnd;
    swf::Player m_engine;
    swf::FrameBuffer m_frame;
    PlayerProperties m_properties;
    std::wstring m_moviePath;
    DWORD m_lastTick = 0;
    bool m_frameDirty = true;     // m_frame no longer shows the engine's state
    bool m_pressed = false;       // a button press holds the mouse capture
    bool m_trackingLeave = false;
    // The character each key typed when it went down, for its key-up.
    wchar_t m_keyChars[256] = {};
    std::vector<std::vector<DispValue>> m_pendingEvents;
    bool m_muted = false;
    AudioOut m_audio;  // declared after the engine: stops mixing from it first
};
