#include "player/AudioOut.h"

#include <algorithm>

namespace {

constexpr DWORD kRate = 44100;
constexpr WORD kChannels = 2, kBits = 16;
constexpr DWORD kWaitMs = 100;  // wakes now and then even if the device goes quiet

}  // namespace

bool AudioOut::Start(Fill fill) {
    if (m_device) return true;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kChannels;
    format.nSamplesPerSec = kRate;
    format.wBitsPerSample = kBits;
    format.nBlockAlign = kChannels * kBits / 8;
    format.nAvgBytesPerSec = kRate * format.nBlockAlign;
    m_wake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!m_wake) return false;
    // No device (a machine without sound, Wine in our tests) is not an
    // error worth telling the user: the movie plays without sound.
    if (::waveOutOpen(&m_device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(m_wake), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        m_device = nullptr;
        ::CloseHandle(m_wake);
        m_wake = nullptr;
        return false;
    }
    m_fill = std::move(fill);
    for (int i = 0; i < kBuffers; ++i) {
        m_buffers[i].assign(kBufferFrames * kChannels, 0);
        WAVEHDR& h = m_headers[i];
        h = {};
        h.lpData = reinterpret_cast<LPSTR>(m_buffers[i].data());
        h.dwBufferLength = DWORD(m_buffers[i].size() * sizeof(int16_t));
        ::waveOutPrepareHeader(m_device, &h, sizeof h);
    }
    m_quit = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void AudioOut::Stop() {
    if (!m_device) return;
    m_quit = true;
    ::SetEvent(m_wake);
    if (m_thread.joinable()) m_thread.join();
    ::waveOutReset(m_device);  // hands back every queued buffer
    for (WAVEHDR& h : m_headers) ::waveOutUnprepareHeader(m_device, &h, sizeof h);
    ::waveOutClose(m_device);
    m_device = nullptr;
    ::CloseHandle(m_wake);
    m_wake = nullptr;
}

void AudioOut::Queue(int index) {
    std::vector<int16_t>& buffer = m_buffers[index];
    bool silent = m_muted;
    try {
        m_fill(buffer.data(), kBufferFrames);
    } catch (...) {
        silent = true;  // out of memory mixing: silence rather than noise
    }
    if (silent) std::fill(buffer.begin(), buffer.end(), int16_t(0));
    m_headers[index].dwFlags &= ~WHDR_DONE;
    ::waveOutWrite(m_device, &m_headers[index], sizeof m_headers[index]);
}

// A failure to write only loses that buffer; Queue keeps exceptions in.
void AudioOut::Run() {
    for (int i = 0; i < kBuffers; ++i) Queue(i);
    while (!m_quit) {
        ::WaitForSingleObject(m_wake, kWaitMs);
        for (int i = 0; i < kBuffers && !m_quit; ++i)
            if (m_headers[i].dwFlags & WHDR_DONE) Queue(i);
    }
}
