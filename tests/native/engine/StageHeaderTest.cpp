#include "swf/read/StageHeader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

using swf::ByteSource;
using swf::ReadStageRect;
using swf::RectBytes;
using swf::StageRect;

using Bytes = std::vector<uint8_t>;

Bytes Movie(const swf::Rect& stageTwips, bool compressed, size_t noiseBytes = 0) {
    swfmake::SwfWriter writer(10, stageTwips, 24);
    writer.Tags().SetBackgroundColor({255, 255, 255, 255});
    if (noiseBytes) {
        // Random bytes do not compress: the stream stays as long as the movie.
        std::mt19937 random(7);
        Bytes noise(noiseBytes);
        for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
        writer.Tags().Raw(swf::kTagDefineBinaryData, noise);
    }
    writer.Tags().ShowFrame();
    return writer.Write(compressed);
}

// Signature byte, FileLength and a body as given.
Bytes File(char signature, uint32_t fileLength, const Bytes& body) {
    Bytes file = {static_cast<uint8_t>(signature), 'W', 'S', 10};
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(fileLength >> (8 * i)));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes Compress(const Bytes& data) { return swfmake::Deflate(data); }

// Read from an exactly sized heap copy, so ASan reports any read past it.
StageRect Read(const Bytes& file) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() ? file.size() : 1]);
    std::copy(file.begin(), file.end(), exact.get());
    return ReadStageRect(exact.get(), file.size());
}

// The straightforward way: the whole body, inflated in one go into a
// FileLength buffer, then the RECT read bit by bit.
StageRect ReferenceRead(const Bytes& file) {
    uint32_t length = file[4] | file[5] << 8 | file[6] << 16 | uint32_t{file[7]} << 24;
    Bytes body(file.begin() + 8, file.end());
    if (file[0] == 'C') {
        Bytes out(length);
        uLongf outLength = length;
        uncompress(out.data(), &outLength, body.data(), static_cast<uLong>(body.size()));
        body = out;
    }
    size_t bit = 0;
    auto bits = [&](int n) {
        int64_t v = 0;
        for (int i = 0; i < n; ++i, ++bit) v = v << 1 | ((body[bit / 8] >> (7 - bit % 8)) & 1);
        return v;
    };
    auto signedBits = [&](int n) {
        int64_t v = bits(n);
        return n && (v >> (n - 1)) ? v - (int64_t{1} << n) : v;
    };
    int n = static_cast<int>(bits(5));
    int64_t xMin = signedBits(n), xMax = signedBits(n), yMin = signedBits(n), yMax = signedBits(n);
    return StageRect{int32_t(xMin / 20), int32_t(yMin / 20), int32_t(xMax / 20), int32_t(yMax / 20)};
}

class CountingSource : public ByteSource {
public:
    explicit CountingSource(const Bytes& data, size_t throwAfter = SIZE_MAX) : m_data(data), m_throwAfter(throwAfter) {}
    size_t Read(uint8_t* buffer, size_t count) override {
        if (m_offset >= m_throwAfter) throw std::runtime_error("read failed");
        size_t n = std::min(count, m_data.size() - m_offset);
        std::copy_n(m_data.begin() + m_offset, n, buffer);
        m_offset += n;
        return n;
    }
    size_t BytesRead() const { return m_offset; }

private:
    const Bytes& m_data;
    size_t m_throwAfter;
    size_t m_offset = 0;
};

const StageRect kStage550x400{0, 0, 550, 400};

TEST(StageHeaderTest, WorkedExamples) {
    EXPECT_EQ(Read(File('F', 30, {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00})), kStage550x400);
    EXPECT_EQ(Read(File('F', 30, {0x7F, 0xFD, 0x85, 0x5F, 0x1F, 0xF8, 0x8F, 0xA0, 0x00})),
              (StageRect{-2, -1, 550, 400}));
}

TEST(StageHeaderTest, PlainAndCompressedCopiesAgreeWithAFullInflate) {
    const swf::Rect stages[] = {{0, 11000, 0, 8000}, {-40, 11000, -30, 8000}, {0, 11010, 0, 8019},
                                {-39, 19, -19, 39},  {0, 0, 0, 0},           {-200000, 300000, 5, 1}};
    for (const swf::Rect& stage : stages) {
        Bytes plain = Movie(stage, false), compressed = Movie(stage, true);
        StageRect expected{stage.xMin / 20, stage.yMin / 20, stage.xMax / 20, stage.yMax / 20};
        EXPECT_EQ(Read(plain), expected) << stage.xMin << "," << stage.xMax;
        EXPECT_EQ(Read(compressed), expected) << stage.xMin << "," << stage.xMax;
        EXPECT_EQ(Read(compressed), ReferenceRead(compressed));
    }
    // Truncation toward zero, not rounding down.
    EXPECT_EQ(Read(Movie({-40, 11010, -30, 8000}, true)), (StageRect{-2, -1, 550, 400}));
    EXPECT_EQ(Read(Movie({-39, 11019, -19, 8000}, false)), (StageRect{-1, 0, 550, 400}));
}

TEST(StageHeaderTest, OnlyFirstBytesCAndZMeanCompressed) {
    Bytes body = Movie({0, 11000, 0, 8000}, false);
    for (char signature : {'F', 'c', 'z', '\0'}) {
        body[0] = static_cast<uint8_t>(signature);
        EXPECT_EQ(Read(body), kStage550x400) << signature;
    }
}

TEST(StageHeaderTest, LzmaMoviesGiveTheirStageAndCutOnesNone) {
    swfmake::SwfWriter writer(13, {-40, 11010, -30, 8000}, 24);
    writer.Tags().ShowFrame();
    Bytes zws = writer.WriteLzma();
    EXPECT_EQ(Read(zws), (StageRect{-2, -1, 550, 400}));
    for (size_t cut = 0; cut < 18; ++cut) EXPECT_TRUE(Read(Bytes(zws.begin(), zws.begin() + cut)).IsZero()) << cut;
}

TEST(StageHeaderTest, NbitsZeroAndThirtyOne) {
    EXPECT_TRUE(Read(File('F', 30, {0x00, 0x00, 0x00, 0x00})).IsZero());
    swfmake::ByteWriter rect;
    rect.Bits(31, 5);
    rect.SignedBits(-(1 << 30), 31);
    rect.SignedBits(11000, 31);
    rect.SignedBits(-30, 31);
    rect.SignedBits(1073741823, 31);
    Bytes body = rect.Take();
    ASSERT_EQ(body.size(), RectBytes(31));
    const StageRect wide{-53687091, -1, 550, 53687091};
    EXPECT_EQ(Read(File('F', 100, body)), wide);
    EXPECT_EQ(Read(File('C', 100, Compress(body))), wide);
}

// Every prefix of a movie gives the right rectangle or the zero one, never
// a rectangle made of bytes the file does not have.
TEST(StageHeaderTest, TruncatedAtEveryByte) {
    for (bool compressed : {false, true}) {
        Bytes movie = Movie({-40, 11000, -30, 8000}, compressed);
        const StageRect expected{-2, -1, 550, 400};
        const size_t rectEnd = 8 + RectBytes(15);
        for (size_t size = 0; size < movie.size(); ++size) {
            StageRect got = Read(Bytes(movie.begin(), movie.begin() + size));
            if (!compressed && size < rectEnd) EXPECT_TRUE(got.IsZero()) << size;
            EXPECT_TRUE(got.IsZero() || got == expected) << "compressed " << compressed << " size " << size;
        }
    }
}

TEST(StageHeaderTest, HostileFileLengths) {
    const Bytes rect = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00};
    EXPECT_TRUE(Read(File('F', 0, rect)).IsZero());
    EXPECT_TRUE(Read(File('F', 8, rect)).IsZero());   // smaller than the RECT
    EXPECT_EQ(Read(File('F', 9, rect)), kStage550x400);
    EXPECT_EQ(Read(File('F', 0xFFFFFFFF, rect)), kStage550x400);  // file far shorter than claimed
    EXPECT_TRUE(Read(File('C', 8, Compress(rect))).IsZero());
    EXPECT_EQ(Read(File('C', 0xFFFFFFFF, Compress(rect))), kStage550x400);
    EXPECT_TRUE(Read(File('C', 0, Compress(rect))).IsZero());
    // FileLength also caps the compressed bytes fed in, as the one-shot did.
    Bytes stream = Compress(rect);
    EXPECT_TRUE(Read(File('C', 4, stream)).IsZero());
}

TEST(StageHeaderTest, BrokenZlibStreamsGiveTheZeroRectangle) {
    const Bytes rect = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00};
    EXPECT_TRUE(Read(File('C', 100, rect)).IsZero());  // plain bytes under a 'C'
    Bytes stream = Compress(rect);
    EXPECT_TRUE(Read(File('C', 100, Bytes(stream.begin(), stream.begin() + 2))).IsZero());
    Bytes damaged = stream;
    damaged[2] = 0xFF;  // reserved block type
    EXPECT_TRUE(Read(File('C', 100, damaged)).IsZero());
    EXPECT_TRUE(Read(File('C', 100, {})).IsZero());
}

TEST(StageHeaderTest, InflatesOnlyTheStartOfALongMovie) {
    Bytes movie = Movie({0, 11000, 0, 8000}, true, 1 << 20);
    ASSERT_GT(movie.size(), size_t{1} << 20);
    CountingSource source(movie);
    EXPECT_EQ(ReadStageRect(source), kStage550x400);
    EXPECT_LT(source.BytesRead(), 4096u);
}

// A failing read escapes to the caller, and the inflate state is not leaked
// on the way (ASan's leak check).
TEST(StageHeaderTest, ReadFailuresPassThrough) {
    Bytes movie = Movie({0, 11000, 0, 8000}, true);
    for (size_t after : {size_t{0}, size_t{8}}) {
        CountingSource source(movie, after);
        EXPECT_THROW(ReadStageRect(source), std::runtime_error) << after;
    }
}

}  // namespace
