// Encodes a swf::Shape as the body of DefineShape, DefineShape2, 3 or 4.
//
// The model's layers map onto the file's style arrays: the first layer's
// styles go in the shape header, each later layer starts with a StyleChange
// record carrying new style arrays (DefineShape2 and later only). Edges are
// written in order; a StyleChange is inserted wherever an edge does not start
// at the pen or changes fill0, fill1 or line. Edges longer than a record can
// hold are split (curves at their parametric midpoint).
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/MorphShape.h"
#include "swf/model/Shape.h"
#include "tools/swfmake/ByteWriter.h"

namespace swfmake {

struct ShapeOptions {
    bool fillWindingNonZero = false;  // DefineShape4 UsesFillWindingRule
};

// version: 1..4 for DefineShape..DefineShape4.
std::vector<uint8_t> EncodeDefineShape(uint16_t id, const swf::Shape& shape, int version,
                                       const ShapeOptions& options = {});

// A font glyph: the shape records alone, with one fill and no lines (the
// glyph's only layer may hold at most one fill style).
std::vector<uint8_t> EncodeGlyphShape(const swf::Shape& glyph);

// Style records on their own; also used by DefineMorphShape-free callers
// such as tests that check a single record.
void WriteFillStyle(ByteWriter& w, const swf::FillStyle& fill, int version);
void WriteLineStyle(ByteWriter& w, const swf::LineStyle& line, int version);
// A SHAPE: the first layer's style bit counts, then every layer's records.
void WriteShapeRecords(ByteWriter& w, const swf::Shape& shape, int version);

// DefineMorphShape (version 1) or DefineMorphShape2 (2). Start and end
// edges must pair up, and so must the styles (same kinds and stop counts).
std::vector<uint8_t> EncodeDefineMorphShape(uint16_t id, const swf::MorphShape& morph, int version);

}  // namespace swfmake
