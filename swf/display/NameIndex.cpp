#include "swf/display/NameIndex.h"

namespace swf {

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = Fold(c);
    return out;
}

bool SameName(const std::string& a, const std::string& b, bool caseInsensitive) {
    if (a.size() != b.size()) return false;
    if (!caseInsensitive) return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

// Unnamed children answer to the "instanceN" names scripts see.
DisplayObject* FindUnnamed(const DisplayList& list, const std::string& name, bool caseInsensitive,
                           bool (*want)(const DisplayObject&)) {
    constexpr size_t kPrefix = 8;  // "instance"
    if (name.size() <= kPrefix || !SameName(name.substr(0, kPrefix), "instance", caseInsensitive)) return nullptr;
    for (const auto& entry : list) {
        DisplayObject& child = *entry.second;
        if (child.name.empty() && child.instance && want(child) && SameName(child.ScriptName(), name, caseInsensitive)) return &child;
    }
    return nullptr;
}

}  // namespace

void NameIndex::Note(const DisplayObject& obj, const DisplayList& list) {
    if (obj.name.empty()) return;  // unnamed children are scanned for, as they are rarely asked for
    // Stale hints pile up as children come and go: start again from the list.
    if (hints_ >= 2 * list.size() + 64) return Rebuild(list);
    depths_[Folded(obj.name)].push_back(obj.depth);
    ++hints_;
}

void NameIndex::Rebuild(const DisplayList& list) {
    depths_.clear();
    hints_ = 0;
    for (const auto& [depth, child] : list) {
        if (child->name.empty()) continue;
        depths_[Folded(child->name)].push_back(depth);
        ++hints_;
    }
}

DisplayObject* NameIndex::Find(const DisplayList& list, const std::string& name, bool caseInsensitive,
                               bool (*want)(const DisplayObject&)) const {
    if (name.empty()) {
        for (const auto& entry : list)
            if (entry.second->name.empty() && want(*entry.second)) return entry.second.get();
        return nullptr;
    }
    auto hints = depths_.find(Folded(name));
    if (hints == depths_.end()) return FindUnnamed(list, name, caseInsensitive, want);
    DisplayObject* best = nullptr;
    for (int32_t depth : hints->second) {
        if (best && depth >= best->depth) continue;
        auto it = list.find(depth);
        if (it == list.end()) continue;
        DisplayObject* child = it->second.get();
        if (want(*child) && SameName(child->name, name, caseInsensitive)) best = child;
    }
    return best;
}

}  // namespace swf
