// Font and text tags for swfmake. The descriptions are the engine's own model
// (swf::FontData, swf::StaticTextData, swf::EditTextData), so a movie
// written from a model reads back as that model.
//
// Fonts: glyph shapes in em units (1024 per em, 20480 for DefineFont3),
// one fill (index 1) and no lines; codes are written wide when the description
// says so or any code exceeds 255. Static text: each run becomes one record
// with its font, height, colour and pen position; advances are the
// differences between glyph positions (the last glyph advances 0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/Font.h"
#include "tools/swfmake/SwfWriter.h"

namespace swfmake {

std::vector<uint8_t> EncodeDefineFont(uint16_t id, const swf::FontData& font);
std::vector<uint8_t> EncodeDefineFontInfo(uint16_t id, const swf::FontData& font, bool version2);
// version 2 or 3 (DefineFont2 or DefineFont3).
std::vector<uint8_t> EncodeDefineFont2(uint16_t id, const swf::FontData& font, int version = 2);
std::vector<uint8_t> EncodeDefineFontName(uint16_t id, const std::string& name, const std::string& copyright);
std::vector<uint8_t> EncodeDefineText(uint16_t id, const swf::StaticTextData& text, bool withAlpha);
std::vector<uint8_t> EncodeDefineEditText(uint16_t id, const swf::EditTextData& field);

void DefineFont2(TagList& tags, uint16_t id, const swf::FontData& font, int version = 2);
void DefineText(TagList& tags, uint16_t id, const swf::StaticTextData& text, bool withAlpha = true);
void DefineEditText(TagList& tags, uint16_t id, const swf::EditTextData& field);

// A test font: every code a filled box `inkWidth` wide from the baseline up
// to the ascent, advancing `advance`; all in 1024 em units, with layout.
swf::FontData BlockFont(const std::string& name, const std::u32string& codes, int32_t inkWidth = 512,
                        int32_t advance = 640, int32_t ascent = 800, int32_t descent = 224);

// One run of static text: glyph indices from `font` placed by its advances
// scaled to `height` twips, starting at (x, y) (rounded per glyph).
swf::TextRun MakeRun(const swf::FontData& font, uint16_t fontId, const std::u32string& text, uint16_t height,
                     swf::Rgba color, int32_t x, int32_t y);

}  // namespace swfmake
