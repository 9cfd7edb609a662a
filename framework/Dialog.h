// CDialog: a dialog from a template of the program's resources.
//
// DoModal runs the framework's own modal loop (so PreTranslateMessage sees
// every message): the dialog is created modeless, its owner disabled, and
// messages are pumped until EndDialog; then the virtual DestroyWindow runs
// and the owner is enabled again. Modal dialogs nest.
#pragma once

#include "framework/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;

    UINT GetTemplateId() const { return m_templateId; }
    // The result EndDialog was given, valid after the modal loop ended.
    int GetModalResult() const { return m_modalResult; }
    // Whether the modal loop is running (tests drive dialogs through it).
    bool IsModalLoopRunning() const { return m_inModalLoop; }

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnCommand(UINT id, UINT code) override;

    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    BOOL HandleInitDialog(HWND hwnd);
    HWND ModalOwner() const;
    bool WalkPreTranslate(MSG* msg);

    UINT m_templateId;
    int m_modalResult = -1;
    bool m_endModal = false;
    bool m_inModalLoop = false;
};
