// Stage rectangle of a large compressed movie: the streaming reader against
// a one-shot inflate of the whole body. Writes its movies to /tmp, prints
// times, their ratio and each reader's peak memory (each runs in a child
// process, so one reader's peak does not hide the other's). Never fails.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "swf/model/FormatCodes.h"
#include "swf/read/StageHeader.h"

namespace {

using swf::ByteSource;
using swf::ReadStageRect;
using swf::StageRect;

constexpr size_t kMiB = 1024 * 1024;
constexpr int kStreamingRuns = 200;
constexpr size_t kChunk = 1 << 16;

class FileSource : public ByteSource {
public:
    explicit FileSource(FILE* file) : m_file(file) {}
    size_t Read(uint8_t* buffer, size_t count) override { return std::fread(buffer, 1, count, m_file); }

private:
    FILE* m_file;
};

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A CWS movie whose body is the 550 x 400 RECT, rate, count, one tag of
// random (incompressible) bytes and End, deflated chunk by chunk.
bool WriteMovie(const std::string& path, size_t payload) {
    std::vector<uint8_t> head = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00};
    PutLe(head, 24 << 8, 2);
    PutLe(head, 1, 2);
    PutLe(head, (swf::kTagDefineBinaryData << swf::kTagCodeShift) | swf::kTagLongLength, 2);
    PutLe(head, static_cast<uint32_t>(payload), 4);
    const std::vector<uint8_t> tail = {0, 0};
    uint32_t fileLength = static_cast<uint32_t>(8 + head.size() + payload + tail.size());

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    uint8_t header[8] = {'C', 'W', 'S', 10};
    std::memcpy(header + 4, &fileLength, 4);
    std::fwrite(header, 1, sizeof header, file);

    z_stream z{};
    deflateInit(&z, 1);
    std::vector<uint8_t> in(kChunk), out(kChunk);
    std::mt19937 random(1);
    auto pump = [&](const uint8_t* data, size_t size, int flush) {
        z.next_in = const_cast<uint8_t*>(data);
        z.avail_in = static_cast<uInt>(size);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, flush);
            std::fwrite(out.data(), 1, out.size() - z.avail_out, file);
        } while (z.avail_out == 0);
    };
    pump(head.data(), head.size(), Z_NO_FLUSH);
    for (size_t left = payload; left > 0;) {
        size_t n = left < kChunk ? left : kChunk;
        for (size_t i = 0; i < n; ++i) in[i] = static_cast<uint8_t>(random());
        pump(in.data(), n, Z_NO_FLUSH);
        left -= n;
    }
    pump(tail.data(), tail.size(), Z_FINISH);
    deflateEnd(&z);
    return std::fclose(file) == 0;
}

StageRect Streaming(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    FileSource source(file);
    StageRect rect = ReadStageRect(source);
    std::fclose(file);
    return rect;
}

// The whole-file way: FileLength bytes in, FileLength bytes out.
StageRect OneShot(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    uint8_t header[8];
    StageRect rect;
    if (std::fread(header, 1, 8, file) == 8) {
        uint32_t length;
        std::memcpy(&length, header + 4, 4);
        std::vector<uint8_t> packed(length), body(length);
        size_t got = std::fread(packed.data(), 1, length, file);
        uLongf bodyLength = length;
        uncompress(body.data(), &bodyLength, packed.data(), static_cast<uLong>(got));
        // Decode the inflated RECT with the same code, from a plain copy of its bytes.
        std::vector<uint8_t> plain = {'F', 'W', 'S', 10, 0xFF, 0xFF, 0xFF, 0xFF};
        plain.insert(plain.end(), body.begin(), body.begin() + (bodyLength < 32 ? bodyLength : 32));
        rect = ReadStageRect(plain.data(), plain.size());
    }
    std::fclose(file);
    return rect;
}

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Runs `work` `runs` times in a child; the child reports its own time and
// peak resident size through a pipe.
template <typename Work>
Run InChild(Work work, int runs) {
    int fds[2];
    Run run;
    if (pipe(fds) != 0) return run;
    pid_t pid = fork();
    if (pid == 0) {
        auto start = std::chrono::steady_clock::now();
        bool ok = true;
        for (int i = 0; i < runs; ++i) ok = work() == (StageRect{0, 0, 550, 400}) && ok;
        Run result;
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / runs;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        result.peakKiB = usage.ru_maxrss;
        result.ok = ok;
        ssize_t written = write(fds[1], &result, sizeof result);
        _exit(written == sizeof result ? 0 : 1);
    }
    close(fds[1]);
    if (pid > 0) {
        if (read(fds[0], &run, sizeof run) != sizeof run) run = Run{};
        waitpid(pid, nullptr, 0);
    }
    close(fds[0]);
    return run;
}

}  // namespace

int main() {
    std::printf("%-10s %14s %12s %14s %12s %10s\n", "movie", "streaming", "peak", "one-shot", "peak", "ratio");
    for (size_t mib : {size_t{1}, size_t{100}}) {
        std::string path = "/tmp/pictaro_stage_bench_" + std::to_string(mib) + "mb.swf";
        if (!WriteMovie(path, mib * kMiB)) {
            std::printf("cannot write %s\n", path.c_str());
            continue;
        }
        Run streaming = InChild([&] { return Streaming(path); }, kStreamingRuns);
        Run oneShot = InChild([&] { return OneShot(path); }, 1);
        double ratio = streaming.seconds > 0 ? oneShot.seconds / streaming.seconds : 0;
        std::printf("%4zu MiB   %11.1f us %8ld KiB %11.1f ms %8ld KiB %9.0fx%s\n", mib, streaming.seconds * 1e6,
                    streaming.peakKiB, oneShot.seconds * 1e3, oneShot.peakKiB, ratio,
                    streaming.ok && oneShot.ok ? "" : "  (rectangle differs!)");
        std::remove(path.c_str());
    }
    return 0;
}
