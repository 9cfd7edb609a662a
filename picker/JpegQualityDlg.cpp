#include "picker/JpegQualityDlg.h"

#include "framework/DataExchange.h"
#include "picker/resource.h"

namespace {

constexpr int kLowestQuality = 0;
constexpr int kHighestQuality = 100;
constexpr int kTickEvery = 10;

}  // namespace

CJpegQualityDlg::CJpegQualityDlg(CWnd* parent) : CDialog(IDD_JPEG_QUALITY, parent), m_nQuality(0) {}

void CJpegQualityDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_QUALITY_SLIDER, m_sliderQuality);
    DDX_Slider(dx, IDC_QUALITY_SLIDER, m_nQuality);
}

// Opens at the best quality, so Enter on the focused OK button keeps it.
BOOL CJpegQualityDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_sliderQuality.SetRange(kLowestQuality, kHighestQuality, FALSE);
    m_sliderQuality.SendMessage(TBM_SETPOS, TRUE, kHighestQuality);
    m_sliderQuality.SendMessage(TBM_SETTICFREQ, kTickEvery, 0);
    return TRUE;
}
