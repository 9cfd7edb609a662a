// CJpegQualityDlg: a track bar for the JPEG quality, 0 to 100.
#pragma once

#include "framework/Dialog.h"
#include "framework/SliderCtrl.h"

class CJpegQualityDlg : public CDialog {
public:
    explicit CJpegQualityDlg(CWnd* parent = nullptr);

    CSliderCtrl m_sliderQuality;
    // Written from the track bar only when the dialog ends with OK.
    int m_nQuality;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};
