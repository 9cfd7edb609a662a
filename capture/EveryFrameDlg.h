// CEveryFrameDlg: "Capture Every Frame". The user gives From, To and Step;
// the frames are then captured one after another from a timer inside the
// dialog's modal loop, so the progress bar moves and Cancel is heard
// between frames.
#pragma once

#include <functional>

#include "capture/FrameRange.h"
#include "framework/Dialog.h"

class CEveryFrameDlg : public CDialog {
public:
    explicit CEveryFrameDlg(CWnd* parent = nullptr);

    // Set by the opener: the movie's frame count (To's default), and what
    // captures one frame (counted from 1); false stops the run.
    int m_lastFrame;
    std::function<bool(int frame)> m_captureFrame;
    // After DoModal: how many frames were captured.
    int m_captured;

protected:
    BOOL OnInitDialog() override;
    // "Capture": checks the range, then starts.
    void OnOK() override;
    // Before a run: closes. During one: stops, keeping what was captured.
    void OnCancel() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool ReadRange(FrameRange& range);
    void CaptureSome();
    void ShowProgress(int frame);
    void StopTimer();
    void Finish(int result);

    FrameRange m_range;
    int m_total;
    int m_next;
    bool m_running;
};
