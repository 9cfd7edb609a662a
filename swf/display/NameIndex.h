// A clip's children by instance name, so that scripts resolving
// "_level0.a.b" do not compare names against every child at each step.
// Entries are hints (a depth under the lower-case name) checked against the
// display list on every lookup: a child removed or renamed leaves a stale
// hint that is skipped, so the index only has to be told each name a child
// comes to carry, never when one goes.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/display/DisplayObject.h"

namespace swf {

class NameIndex {
public:
    // `obj`, a child in `list`, now carries its name at its depth.
    void Note(const DisplayObject& obj, const DisplayList& list);
    // The first child in depth order named `name` that `want` accepts.
    DisplayObject* Find(const DisplayList& list, const std::string& name, bool caseInsensitive,
                        bool (*want)(const DisplayObject&)) const;

private:
    void Rebuild(const DisplayList& list);

    std::unordered_map<std::string, std::vector<int32_t>> depths_;
    size_t hints_ = 0;
};

}  // namespace swf
