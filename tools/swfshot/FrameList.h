// Which frames swfshot renders, as the user writes them.
//
// Frames are 1-based, as users count. A list is comma-separated items:
//   N          one frame
//   A-B        frames A to B
//   A-B/S      every S-th frame from A to B (A, A+S, ...)
//   A-  A-end  from A to the last frame (also with /S)
//   every:S    1, 1+S, 1+2S, ... to the last frame
//   all        every frame
//   last       the last frame
// Resolve() turns a list into ascending, distinct frame numbers for a movie.
#pragma once

#include <string>
#include <vector>

namespace swfshot {

class FrameList {
public:
    // False with a message naming the faulty item.
    bool Parse(const std::string& text, std::string* error);
    // False when an explicit frame lies past `totalFrames`; open-ended
    // items stop at the last frame. Ticks (`pastEnd`) may go past it, as
    // playing goes on; only open-ended items and "last" stop there.
    bool Resolve(int totalFrames, std::vector<int>* frames, std::string* error,
                 bool pastEnd = false) const;

private:
    struct Item {
        int first = 1;
        int last = 1;         // ignored when openEnd
        int step = 1;
        bool openEnd = false;
        bool fromLast = false;  // "last"
    };
    static bool ParseItem(const std::string& text, Item* item, std::string* error);

    std::vector<Item> items_;
};

}  // namespace swfshot
