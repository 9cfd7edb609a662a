// The movie argument of the command line, as the shell and users write it.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

TEST(CommandLineTest, MovieArgumentIsTheFirstArgumentWithoutItsQuotes) {
    struct Case {
        const char* line;
        const char* movie;
    };
    const Case cases[] = {
        {"pictaro.exe", ""},
        {"\"C:\\Program Files\\Pictaro\\pictaro.exe\"  ", ""},
        {"pictaro.exe movie.swf", "movie.swf"},
        // "Open with": both paths quoted, spaces inside.
        {"\"C:\\Program Files\\Pictaro\\pictaro.exe\" \"C:\\My Movies\\card.swf\"", "C:\\My Movies\\card.swf"},
        // Typed without quotes: the rest of the line, spaces and all.
        {"pictaro.exe  C:\\My Movies\\card.swf  ", "C:\\My Movies\\card.swf"},
        {"\"pictaro.exe\"\t\"a.swf\" \"b.swf\"", "a.swf"},
        {"pictaro.exe \"unclosed.swf", "unclosed.swf"},
        {"\"unclosed program name", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MovieArgument(c.line), c.movie) << c.line;
    EXPECT_EQ(MovieArgument(nullptr), "");
}

}  // namespace
