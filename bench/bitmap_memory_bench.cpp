// Bitmap memory of photos.swf (or the movie given): the decoded size of its
// bitmaps, and the process's resident memory before loading, after loading
// (every bitmap is decoded once, while the movie is read) and after playing
// and rendering every frame, which should add nothing for bitmaps. Linux
// only (/proc/self/statm). Never fails.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "swf/model/FrameBuffer.h"
#include "swf/Player.h"
#include "swf/read/MovieReader.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / kMiB;
}

// The decoded pixels of every bitmap, as the reader keeps them.
size_t DecodedBytes(const std::vector<uint8_t>& bytes, int* count) {
    const swf::ReadResult r = swf::ReadMovie(bytes);
    size_t total = 0;
    *count = 0;
    if (!r.movie) return 0;
    for (const auto& [id, c] : r.movie->dictionary) {
        if (const swf::Bitmap* b = r.movie->FindBitmap(id)) {
            total += b->Bytes();
            ++*count;
        }
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : std::string(PICTARO_MOVIES) + "/photos.swf";
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int count = 0;
    const size_t decoded = DecodedBytes(bytes, &count);
    const double before = ResidentMiB();
    swf::Player player;
    if (!player.LoadBytes(bytes)) {
        std::printf("bitmap_memory_bench: cannot load %s (build the `movies` target first)\n", path.c_str());
        return 0;
    }
    const double loaded = ResidentMiB();
    swf::FrameBuffer target(550, 400);
    player.Render(target);
    const double firstFrame = ResidentMiB();
    for (int f = 1; f < player.TotalFrames(); ++f) {
        player.Tick();
        player.Render(target);
    }
    const double played = ResidentMiB();
    std::printf("bitmap_memory_bench: %s, %zu bytes, %d bitmaps, %.2f MiB decoded\n", path.c_str(), bytes.size(),
                count, decoded / kMiB);
    std::printf("  resident: %.2f MiB before load, +%.2f MiB after load, +%.2f after frame 1, "
                "+%.2f after all %d frames\n",
                before, loaded - before, firstFrame - before, played - before, player.TotalFrames());
    std::printf("  growth while playing: %.2f MiB (decoded bitmaps: %.2f MiB, decoded once at load)\n",
                played - firstFrame, decoded / kMiB);
    return 0;
}
