// CMainDialog: the main window. Two player controls (the movie, and the
// toolbar strip playing "action.swf"), the seek slider with its play/pause
// button, the menu, and the capture folder and count that captures, the
// picker and movie opening share.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <set>

#include "capture/Capture.h"
#include "capture/CaptureSize.h"
#include "controls/SeekSlider.h"
#include "framework/Dialog.h"
#include "player/ShockwaveFlash.h"

constexpr UINT_PTR ID_POSITION_TIMER = 111;
// The question closing asks while captures would be lost.
constexpr const char* kUnsavedCapturesCaption = "Unsaved Captures";

class CMainDialog : public CDialog {
public:
    explicit CMainDialog(CWnd* parent = nullptr);
    ~CMainDialog() override;

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // The commands other parts of the program carry out (MainCommands.cpp).
    void OpenMovie();
    void OpenMovieFile(const CString& path);
    void StartCapture();
    void OpenPicker();
    // CaptureCommands.cpp
    void SetCaptureSize(CaptureSize size);
    void CaptureEveryFrame();
    // MainCommands.cpp: the movie's sound off or on, kept in the registry.
    void SetMuted(bool muted);

    CSeekSlider m_seekSlider;
    CShockwaveFlash m_player;
    CShockwaveFlash m_toolbar;
    RECT m_movieRect;
    RECT m_clientRectAtStart;
    CString m_captureFolder;
    // Captures advance it from worker threads with an interlocked increment.
    volatile LONG m_captureCount;
    BOOL m_timerRunning;
    BOOL m_playing;
    CString m_exeDir;
    HICON m_hIcon;
    // Numbers of this movie's captures that were saved or printed; closing
    // asks first while others exist.
    std::set<int> m_keptCaptures;
    // The size captures are taken at, from the Steps menu; kept in the
    // registry.
    CaptureSize m_captureSize;
    // The Steps menu's and the toolbar's sound toggle; kept in the registry.
    bool m_muted;
    // Opened once the window is up, as "1. Open SWF" would (the command line).
    CString m_startMovie;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnCommand(UINT id, UINT code) override;
    BOOL OnEvent(UINT ctrlId, DISPID dispid, const EventArgs& args) override;

    // Exit and Escape (the close box and the system menu's Close arrive as
    // Escape): both close only once nothing would be lost.
    void OnOK() override;
    void OnCancel() override;
    LRESULT OnSysCommand(UINT id);
    LRESULT OnPaint();
    void OnTimer(UINT_PTR id);
    void OnPlayPause();
    LRESULT OnSeekMoving(WPARAM wp, LPARAM lp);
    LRESULT OnSeekMoved(WPARAM wp, LPARAM lp);
    void OnFSCommand(const char* command, const char* args);
    void OnHelpHowTo();
    void ShowAboutBox();

    void OnDropFiles(HDROP drop);
    void OnEndSession(BOOL ending);
    // Left, Right, Home, End: true when the key stepped the movie.
    bool OnFrameKey(const MSG& msg);

private:
    // MainCommands.cpp
    int UnsavedCaptureCount() const;
    bool ConfirmClose();

    // CaptureCommands.cpp
    CaptureTarget MakeCaptureTarget();
    // The picture size for the chosen capture size; false after telling the
    // user that it passes the limit.
    bool PictureSizeAllowed(PixelSize& picture);
    void ShowCaptureSize();
    // MainCommands.cpp: the menu's check and the toolbar's speaker.
    void ShowMuted();

    void SetUpSeekSlider();
    void AddAboutToSystemMenu();
};
