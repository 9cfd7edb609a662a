#include "swf/model/Font.h"

#include <algorithm>

namespace swf {

void FontData::BuildCodeIndex() {
    byCode.clear();
    byCode.reserve(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) byCode.emplace_back(glyphs[i].code, static_cast<uint16_t>(i));
    // Stable, so of repeated codes the first glyph stays first.
    std::stable_sort(byCode.begin(), byCode.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::sort(kerning.begin(), kerning.end(), [](const KerningPair& a, const KerningPair& b) {
        return a.left != b.left ? a.left < b.left : a.right < b.right;
    });
}

int32_t FontData::IndexOf(uint32_t code) const {
    if (code > UINT16_MAX) return -1;
    auto it = std::lower_bound(byCode.begin(), byCode.end(), code,
                               [](const auto& e, uint32_t c) { return e.first < c; });
    return it != byCode.end() && it->first == code ? it->second : -1;
}

int32_t FontData::Kerning(uint32_t left, uint32_t right) const {
    if (kerning.empty()) return 0;
    auto it = std::lower_bound(kerning.begin(), kerning.end(), std::make_pair(left, right),
                               [](const KerningPair& k, const std::pair<uint32_t, uint32_t>& p) {
                                   return k.left != p.first ? k.left < p.first : k.right < p.second;
                               });
    return it != kerning.end() && it->left == left && it->right == right ? it->adjust : 0;
}

bool FontData::IsDeviceOnly() const {
    for (const Glyph& g : glyphs)
        for (const ShapeLayer& l : g.shape.layers)
            if (!l.edges.empty()) return false;
    return true;
}

}  // namespace swf
