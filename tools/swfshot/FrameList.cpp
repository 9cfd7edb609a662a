#include "tools/swfshot/FrameList.h"

#include <algorithm>
#include <cctype>

namespace swfshot {

namespace {

// Far above any real movie's 16-bit frame count, yet safe from overflow.
constexpr int kMaxFrameNumber = 1000000;
const char kEveryPrefix[] = "every:";

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A positive decimal number up to kMaxFrameNumber, digits only.
bool ParseNumber(const std::string& s, int* out) {
    if (s.empty() || s.size() > std::to_string(kMaxFrameNumber).size()) return false;
    int v = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > kMaxFrameNumber) return false;
    *out = v;
    return true;
}

bool Fail(std::string* error, const std::string& item, const char* why) {
    if (error) *error = "bad frame list item \"" + item + "\": " + why;
    return false;
}

}  // namespace

bool FrameList::ParseItem(const std::string& text, Item* item, std::string* error) {
    const char* kNumberWhy = "frames are whole numbers from 1";
    if (text.empty()) return Fail(error, text, "empty item");
    if (text == "all") {
        item->openEnd = true;
        return true;
    }
    if (text == "last") {
        item->fromLast = true;
        return true;
    }
    if (text.compare(0, sizeof(kEveryPrefix) - 1, kEveryPrefix) == 0) {
        item->openEnd = true;
        if (!ParseNumber(text.substr(sizeof(kEveryPrefix) - 1), &item->step))
            return Fail(error, text, "the step is a whole number from 1");
        return true;
    }
    std::string range = text;
    size_t slash = text.find('/');
    if (slash != std::string::npos) {
        range = text.substr(0, slash);
        if (!ParseNumber(text.substr(slash + 1), &item->step))
            return Fail(error, text, "the step is a whole number from 1");
    }
    size_t dash = range.find('-');
    if (dash == std::string::npos) {
        if (slash != std::string::npos) return Fail(error, text, "a step needs a range A-B/S");
        if (!ParseNumber(range, &item->first)) return Fail(error, text, kNumberWhy);
        item->last = item->first;
        return true;
    }
    if (!ParseNumber(range.substr(0, dash), &item->first)) return Fail(error, text, kNumberWhy);
    std::string end = range.substr(dash + 1);
    if (end.empty() || end == "end") {
        item->openEnd = true;
        return true;
    }
    if (!ParseNumber(end, &item->last)) return Fail(error, text, kNumberWhy);
    if (item->last < item->first) return Fail(error, text, "the range runs backwards");
    return true;
}

bool FrameList::Parse(const std::string& text, std::string* error) {
    items_.clear();
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        std::string part = Trim(text.substr(start, comma == std::string::npos ? std::string::npos
                                                                            : comma - start));
        Item item;
        if (!ParseItem(part, &item, error)) {
            items_.clear();
            return false;
        }
        items_.push_back(item);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool FrameList::Resolve(int totalFrames, std::vector<int>* frames, std::string* error,
                        bool pastEnd) const {
    frames->clear();
    for (const Item& item : items_) {
        if (item.fromLast) {
            if (totalFrames >= 1) frames->push_back(totalFrames);
            continue;
        }
        int last = item.openEnd ? totalFrames : item.last;
        if (!item.openEnd && last > totalFrames && !pastEnd) {
            if (error)
                *error = "frame " + std::to_string(last) + " is past the movie's last frame (" +
                         std::to_string(totalFrames) + ")";
            frames->clear();
            return false;
        }
        for (int f = item.first; f <= last; f += item.step) frames->push_back(f);
    }
    std::sort(frames->begin(), frames->end());
    frames->erase(std::unique(frames->begin(), frames->end()), frames->end());
    if (frames->empty()) {
        if (error) *error = "the frame list selects no frame of this movie";
        return false;
    }
    return true;
}

}  // namespace swfshot
