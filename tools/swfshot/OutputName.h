// Output file names: a pattern with %d (the frame or tick number, also %Nd
// and %0Nd), %n (the movie's name without folder and extension) and %%.
// A plain name is fine for one image; the caller checks that several
// images or movies have the conversions that keep their names apart.
#pragma once

#include <string>

namespace swfshot {

struct PatternInfo {
    bool hasNumber = false;
    bool hasName = false;
};

// False with a message for an unknown conversion or a second %d.
bool CheckOutputPattern(const std::string& pattern, std::string* error, PatternInfo* info = nullptr);
// The pattern filled in; it must have passed CheckOutputPattern. User text
// never reaches printf.
std::string FormatOutputName(const std::string& pattern, int number, const std::string& movieName = "");
// "cards/intro.swf" -> "intro".
std::string MovieName(const std::string& path);

}  // namespace swfshot
