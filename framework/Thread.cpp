#include "framework/Thread.h"

#include <process.h>

#include "framework/Errors.h"
#include "framework/WinApp.h"

namespace {

// Manual-reset event, signalled while no worker runs.
class WorkerCounter {
public:
    WorkerCounter() : m_idle(::CreateEventA(nullptr, TRUE, TRUE, nullptr)) { ::InitializeCriticalSection(&m_lock); }
    ~WorkerCounter() {
        ::DeleteCriticalSection(&m_lock);
        if (m_idle) ::CloseHandle(m_idle);
    }
    void Add() {
        ::EnterCriticalSection(&m_lock);
        if (m_count++ == 0) ::ResetEvent(m_idle);
        ::LeaveCriticalSection(&m_lock);
    }
    void Remove() {
        ::EnterCriticalSection(&m_lock);
        if (--m_count == 0) ::SetEvent(m_idle);
        ::LeaveCriticalSection(&m_lock);
    }
    int Count() {
        ::EnterCriticalSection(&m_lock);
        int count = m_count;
        ::LeaveCriticalSection(&m_lock);
        return count;
    }
    HANDLE Idle() const { return m_idle; }

private:
    CRITICAL_SECTION m_lock;
    int m_count = 0;
    HANDLE m_idle;
};

WorkerCounter& Workers() {
    static WorkerCounter counter;
    return counter;
}

}  // namespace

CWinThread::CWinThread() = default;

CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
}

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

unsigned __stdcall CWinThread::Start(void* self) {
    CWinThread* thread = static_cast<CWinThread*>(self);
    UINT result = 0;
    try {
        result = thread->m_proc(thread->m_param);
    } catch (...) {
        ReportCurrentException(nullptr);
    }
    if (thread->m_bAutoDelete) delete thread;
    Workers().Remove();
    return result;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES security) {
    CWinThread* thread = new CWinThread;
    thread->m_proc = proc;
    thread->m_param = param;
    CWinApp* app = AfxGetApp();
    thread->m_pMainWnd = app ? app->m_pMainWnd : nullptr;
    Workers().Add();
    unsigned id = 0;
    // Start suspended so the object is complete before the thread can end.
    uintptr_t handle = _beginthreadex(security, stackSize, &CWinThread::Start, thread, CREATE_SUSPENDED, &id);
    if (handle == 0) {
        DWORD err = ::GetLastError();
        Workers().Remove();
        delete thread;
        ShowError(nullptr, "Pictaro could not start a worker thread.", err);
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = id;
    if (priority != THREAD_PRIORITY_NORMAL) ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(thread->m_hThread);
    return thread;
}

int AfxGetRunningWorkerCount() { return Workers().Count(); }

void AfxWaitForWorkerThreads() {
    HANDLE idle = Workers().Idle();
    for (;;) {
        DWORD wait = ::MsgWaitForMultipleObjects(1, &idle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (wait != WAIT_OBJECT_0 + 1) return;  // idle, or a failed wait: do not hang the close
        MSG msg;
        // Peeking with PM_QS_SENDMESSAGE delivers the sent messages only.
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
