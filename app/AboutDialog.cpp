#include "app/AboutDialog.h"

#include "app/MakerSite.h"
#include "app/res/about.h"
#include "app/res/resource.h"
#include "framework/DataExchange.h"

// No parent: the modal run gives the box to the application's main window.
CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUTBOX, nullptr) {}

CAboutDialog::~CAboutDialog() = default;

void CAboutDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MAKER_LINK, m_makerLink);
}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_makerLink.SetUrl(kProductPageUrl);
    return TRUE;
}
