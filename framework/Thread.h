// Threads: CWinThread and AfxBeginThread for short-lived workers.
//
// A worker's CWinThread deletes itself when the thread ends (m_bAutoDelete).
// The framework counts running workers so that a window can wait for them
// before it goes (AfxWaitForWorkerThreads); that wait still serves messages
// sent to the waiting thread, because workers call SetWindowPos and
// SetWindowText on our windows, which the system runs on this thread.
#pragma once

#include <windows.h>

class CWnd;

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

class CWinThread {
public:
    CWinThread();
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    virtual CWnd* GetMainWnd();

    CWnd* m_pMainWnd = nullptr;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

    // For CREATE_SUSPENDED workers.
    DWORD ResumeThread();

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static unsigned __stdcall Start(void* self);
    AFX_THREADPROC m_proc = nullptr;
    LPVOID m_param = nullptr;
};

// nullptr when the thread could not be started (the failure was shown).
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0, LPSECURITY_ATTRIBUTES security = nullptr);

// Workers started by AfxBeginThread that have not finished.
int AfxGetRunningWorkerCount();

// Waits until no worker runs, serving only sent messages meanwhile.
void AfxWaitForWorkerThreads();
