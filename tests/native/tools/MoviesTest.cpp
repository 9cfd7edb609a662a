// The generated movies (build folder "movies", made by moviegen) read back
// cleanly and hold what the application and the tests rely on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "tests/native/tools/TestFiles.h"
#include "tools/moviegen/TestMovies.h"

namespace {

using toolstest::ReadFile;

std::string MoviePath(const char* name) {
    const char* dir = std::getenv("PICTARO_MOVIES");
    return dir ? std::string(dir) + "/" + name : std::string();
}

// Reads a generated movie; skips the test when the movies were not built.
#define READ_MOVIE(var, name)                                                   \
    std::vector<uint8_t> var##Bytes = ReadFile(MoviePath(name));                \
    if (var##Bytes.empty()) GTEST_SKIP() << name << " not generated";          \
    swf::ReadResult var##Result = swf::ReadMovie(var##Bytes);                   \
    for (const std::string& e : var##Result.errors) ADD_FAILURE() << name << ": " << e; \
    ASSERT_TRUE(var##Result.movie);                                             \
    const swf::Movie& var = *var##Result.movie

std::string Payload(const swf::ActionRecord& r) { return {r.payload.begin(), r.payload.end()}; }

// Frame 1 has the sound on, frame 2 off: the speaker button sends "mute" in
// one and "unmute" in the other.
TEST(MoviesTest, ActionStripSendsItsCommandsFromItsLeft330Pixels) {
    READ_MOVIE(movie, "action.swf");
    EXPECT_EQ((swf::Rect{0, 600 * 20, 0, 50 * 20}), movie.header.stage);
    ASSERT_EQ(2u, movie.root.frames.size());
    std::vector<std::string> commands;
    for (const swf::Frame& frame : movie.root.frames) {
        for (const swf::DisplayCommand& c : frame.commands) {
            const swf::Character* ch = c.kind == swf::DisplayCommand::Kind::Place ? movie.Find(c.characterId) : nullptr;
            if (!ch || ch->kind != swf::CharacterKind::Button) continue;
            auto* button = static_cast<const swf::ButtonCharacter*>(ch);
            // The hit area, placed on the stage, must end left of x = 330 px.
            for (const swf::ButtonRecord& r : button->records) {
                if (!(r.states & swf::kButtonHit)) continue;
                auto* shape = static_cast<const swf::ShapeCharacter*>(movie.Find(r.characterId));
                ASSERT_TRUE(shape);
                swf::Rect onStage = swf::TransformRect(c.matrix.Concat(r.matrix), shape->shape.bounds);
                EXPECT_LE(onStage.xMax, 330 * 20);
                EXPECT_GE(onStage.xMin, 0);
            }
            ASSERT_EQ(1u, button->actions.size());
            EXPECT_EQ(swf::kCondOverDownToOverUp, button->actions[0].conditions);
            const swf::ActionRecord& getUrl = button->actions[0].actions.records.at(0);
            EXPECT_EQ(0x83, getUrl.code);
            commands.push_back(Payload(getUrl));
        }
    }
    using namespace std::string_literals;
    EXPECT_EQ((std::vector<std::string>{"FSCommand:action\0open\0"s, "FSCommand:action\0capture\0"s,
                                        "FSCommand:action\0print\0"s, "FSCommand:action\0mute\0"s,
                                        "FSCommand:action\0unmute\0"s}),
              commands);
}

TEST(MoviesTest, SampleIsALongCompressedCard) {
    READ_MOVIE(movie, "sample.swf");
    EXPECT_TRUE(movie.header.compressed);
    EXPECT_EQ((swf::Rect{0, 550 * 20, 0, 400 * 20}), movie.header.stage);
    EXPECT_EQ(24 * 256, movie.header.frameRate88);
    EXPECT_EQ(360u, movie.root.frames.size());
    EXPECT_EQ(3u, movie.root.labels.size());
    bool hasSprite = false;
    for (const auto& entry : movie.dictionary)
        hasSprite |= entry.second->kind == swf::CharacterKind::Sprite;
    EXPECT_TRUE(hasSprite);
}

TEST(MoviesTest, TestMoviesHaveTheirFrameCountsAndStages) {
    READ_MOVIE(plain, "stage550x400.swf");
    READ_MOVIE(packed, "stage550x400_cws.swf");
    READ_MOVIE(pattern, "pattern.swf");
    READ_MOVIE(frames, "frames100.swf");
    EXPECT_FALSE(plain.header.compressed);
    EXPECT_TRUE(packed.header.compressed);
    const swf::Rect stage{0, 550 * 20, 0, 400 * 20};
    for (const swf::Movie* m : {&plain, &packed, &pattern, &frames}) EXPECT_EQ(stage, m->header.stage);
    EXPECT_EQ(moviegen::PatternFacts::kFrames, static_cast<int>(pattern.root.frames.size()));
    EXPECT_EQ(moviegen::Frames100Facts::kFrames, static_cast<int>(frames.root.frames.size()));
}

}  // namespace
