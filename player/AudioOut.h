// Plays a mix through waveOut from a thread of its own: a few short buffers
// stay queued, each refilled as the device hands it back, so the sound
// runs at most about kBuffers x kBufferFrames behind the picture.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

class AudioOut {
public:
    // 44,100 Hz stereo 16-bit frames into `out`; called on the audio thread.
    using Fill = std::function<void(int16_t* out, size_t frames)>;
    static constexpr int kBuffers = 4;
    static constexpr size_t kBufferFrames = 1024;  // 23 ms each: 93 ms queued at most

    AudioOut() = default;
    ~AudioOut() { Stop(); }
    AudioOut(const AudioOut&) = delete;
    AudioOut& operator=(const AudioOut&) = delete;

    // False when the machine has no audio device (or it refuses the
    // format): nothing is played and nothing is said, the movie runs silent.
    bool Start(Fill fill);
    void Stop();
    bool Running() const { return m_device != nullptr; }
    // Muted, buffers are still taken from `fill` (the mix keeps its pace)
    // but the device gets silence.
    void SetMuted(bool muted) { m_muted = muted; }

private:
    void Run();
    void Queue(int index);

    HWAVEOUT m_device = nullptr;
    HANDLE m_wake = nullptr;  // set by the device as buffers come back, and by Stop
    std::thread m_thread;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_muted{false};
    Fill m_fill;
    WAVEHDR m_headers[kBuffers] = {};
    std::vector<int16_t> m_buffers[kBuffers];
};
