// CAboutDialog: the program's icon, name and version, and the maker's line
// as a link to the product's page on the maker's site.
#pragma once

#include "controls/UrlLabel.h"
#include "framework/Dialog.h"

class CAboutDialog : public CDialog {
public:
    CAboutDialog();
    ~CAboutDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    CUrlLabel m_makerLink;
};
