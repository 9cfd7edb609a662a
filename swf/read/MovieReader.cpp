// The root of reading. A movie is "FWS", "CWS" (zlib after the first 8
// bytes) or "ZWS" (LZMA after them), version, FileLength, then the header (stage RECT, frame rate 8.8,
// frame count) and tags. Every tag gets its own slice; a damaged tag is
// reported and skipped, a tag that runs past the data ends the stream, and
// whatever was read before plays.
#include "swf/read/MovieReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr size_t kInflateChunk = 16 * 1024;  // on the stack

// At the size limit: is the stream complete (its checksum present and
// right)? Output past the limit is more than the header declared and is
// ignored.
bool CheckStreamEnd(z_stream& zs, std::string* error) {
    constexpr int kMaxTries = 8;  // each call consumes input or fails
    for (int i = 0; i < kMaxTries; ++i) {
        Bytef extra = 0;
        zs.next_out = &extra;
        zs.avail_out = 1;
        int rc = inflate(&zs, Z_NO_FLUSH);
        if (rc == Z_STREAM_END || (rc == Z_OK && zs.avail_out == 0)) return true;
        if (rc != Z_OK) break;
    }
    *error = "compressed data ends early";
    return false;
}

}  // namespace

// Inflates `in` into `out`, stopping at `limit` bytes. False on a damaged or
// short stream (what came out before is kept).
bool Inflate(const uint8_t* in, size_t inSize, size_t limit, std::vector<uint8_t>& out,
             std::string* error) {
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK) {
        *error = "cannot start decompression";
        return false;
    }
    zs.next_in = const_cast<Bytef*>(in);
    // zlib counts in uInt; movies are far below 4 GiB, but clamp anyway.
    zs.avail_in = static_cast<uInt>(std::min<size_t>(inSize, UINT32_MAX));
    bool ok = true;
    Bytef buffer[kInflateChunk];
    for (;;) {
        if (out.size() >= limit) {
            ok = CheckStreamEnd(zs, error);
            break;
        }
        size_t chunk = std::min(sizeof buffer, limit - out.size());
        zs.next_out = buffer;
        zs.avail_out = static_cast<uInt>(chunk);
        int rc = inflate(&zs, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (chunk - zs.avail_out));
        if (rc == Z_STREAM_END) break;
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) {
            *error = "compressed data ends early";
            ok = false;
            break;
        }
        if (rc != Z_OK) {
            *error = std::string("compressed data is damaged") + (zs.msg ? std::string(": ") + zs.msg : "");
            ok = false;
            break;
        }
    }
    inflateEnd(&zs);
    return ok;
}

namespace {

// The whole movie as one uncompressed buffer (header bytes included, so
// offsets in messages are file offsets of the uncompressed movie).
bool Expand(const std::vector<uint8_t>& bytes, MovieHeader& h, std::vector<uint8_t>& data,
            std::vector<std::string>& errors) {
    if (bytes.size() < kFileSignatureBytes) {
        errors.push_back("not a movie: shorter than its signature");
        return false;
    }
    bool fws = bytes[0] == 'F' && bytes[1] == 'W' && bytes[2] == 'S';
    bool cws = bytes[0] == 'C' && bytes[1] == 'W' && bytes[2] == 'S';
    bool zws = bytes[0] == 'Z' && bytes[1] == 'W' && bytes[2] == 'S';
    if (!fws && !cws && !zws) {
        errors.push_back("not a movie: unknown signature");
        return false;
    }
    h.compressed = cws || zws;
    h.version = bytes[3];
    h.fileLength = uint32_t(bytes[4]) | (uint32_t(bytes[5]) << 8) | (uint32_t(bytes[6]) << 16) |
                   (uint32_t(bytes[7]) << 24);
    size_t declared = std::max<size_t>(h.fileLength, kFileSignatureBytes);
    if (fws) {
        data = bytes;
        if (data.size() > kMaxMovieBytes) data.resize(kMaxMovieBytes);
        if (bytes.size() < declared) errors.push_back("file is shorter than its header says");
        return true;
    }
    size_t limit = declared;
    if (limit > kMaxMovieBytes) {
        errors.push_back("declared length exceeds the 64 MiB limit; only its start is read");
        limit = kMaxMovieBytes;
    }
    data.assign(bytes.begin(), bytes.begin() + kFileSignatureBytes);
    std::string error;
    const uint8_t* body = bytes.data() + kFileSignatureBytes;
    size_t bodySize = bytes.size() - kFileSignatureBytes;
    bool ok = zws ? DecompressLzma(body, bodySize, limit, data, &error) : Inflate(body, bodySize, limit, data, &error);
    if (!ok)
        errors.push_back(error);
    else if (data.size() < std::min(declared, limit))
        errors.push_back("file is shorter than its header says");
    // Scripts count a compressed movie's bytes as they came, not expanded.
    h.fileLength = static_cast<uint32_t>(bytes.size());
    return true;
}

}  // namespace

std::vector<uint8_t> ExpandMovie(const std::vector<uint8_t>& bytes) {
    MovieHeader h;
    std::vector<uint8_t> data;
    std::vector<std::string> errors;
    if (!Expand(bytes, h, data, errors) || data.size() < kFileSignatureBytes) return {};
    data[0] = 'F';
    return data;
}

const char* TagName(uint16_t code) {
    switch (code) {
    case kTagEnd: return "End";
    case kTagShowFrame: return "ShowFrame";
    case kTagDefineShape: return "DefineShape";
    case kTagPlaceObject: return "PlaceObject";
    case kTagRemoveObject: return "RemoveObject";
    case kTagDefineButton: return "DefineButton";
    case kTagSetBackgroundColor: return "SetBackgroundColor";
    case kTagDoAction: return "DoAction";
    case kTagDoInitAction: return "DoInitAction";
    case kTagExportAssets: return "ExportAssets";
    case kTagDefineShape2: return "DefineShape2";
    case kTagDefineButtonCxform: return "DefineButtonCxform";
    case kTagPlaceObject2: return "PlaceObject2";
    case kTagRemoveObject2: return "RemoveObject2";
    case kTagDefineShape3: return "DefineShape3";
    case kTagDefineButton2: return "DefineButton2";
    case kTagDefineSprite: return "DefineSprite";
    case kTagFrameLabel: return "FrameLabel";
    case kTagPlaceObject3: return "PlaceObject3";
    case kTagDefineScalingGrid: return "DefineScalingGrid";
    case kTagScriptLimits: return "ScriptLimits";
    case kTagDefineShape4: return "DefineShape4";
    case kTagDefineBits: return "DefineBits";
    case kTagJpegTables: return "JPEGTables";
    case kTagDefineBitsLossless: return "DefineBitsLossless";
    case kTagDefineBitsJpeg2: return "DefineBitsJPEG2";
    case kTagDefineBitsJpeg3: return "DefineBitsJPEG3";
    case kTagDefineBitsLossless2: return "DefineBitsLossless2";
    case kTagDefineBitsJpeg4: return "DefineBitsJPEG4";
    case kTagDefineMorphShape: return "DefineMorphShape";
    case kTagDefineMorphShape2: return "DefineMorphShape2";
    case kTagDefineFont: return "DefineFont";
    case kTagDefineText: return "DefineText";
    case kTagDefineFontInfo: return "DefineFontInfo";
    case kTagDefineText2: return "DefineText2";
    case kTagDefineEditText: return "DefineEditText";
    case kTagDefineFont2: return "DefineFont2";
    case kTagDefineFontInfo2: return "DefineFontInfo2";
    case kTagDefineFontAlignZones: return "DefineFontAlignZones";
    case kTagCsmTextSettings: return "CSMTextSettings";
    case kTagDefineFont3: return "DefineFont3";
    case kTagDefineFontName: return "DefineFontName";
    case kTagDoAbc: return "DoABC";
    case kTagDoAbcPlain: return "DoABC";
    case kTagSymbolClass: return "SymbolClass";
    case kTagDefineSceneAndFrameLabelData: return "DefineSceneAndFrameLabelData";
    case kTagDefineBinaryData: return "DefineBinaryData";
    case kTagDefineSound: return "DefineSound";
    case kTagStartSound: return "StartSound";
    case kTagStartSound2: return "StartSound2";
    case kTagDefineButtonSound: return "DefineButtonSound";
    case kTagSoundStreamHead: return "SoundStreamHead";
    case kTagSoundStreamHead2: return "SoundStreamHead2";
    case kTagSoundStreamBlock: return "SoundStreamBlock";
    default: return "unknown";
    }
}

namespace {

std::string TagMessage(uint16_t code, size_t offset, const std::string& what) {
    return "tag " + std::to_string(code) + " (" + TagName(code) + ") at offset " +
           std::to_string(offset) + ": " + what;
}

void ReadOneTag(uint16_t code, ByteReader& r, ReadContext& ctx, TimelineBuilder& tl, bool isSprite,
                int spriteDepth) {
    switch (code) {
    case kTagShowFrame: tl.ShowFrame(); return;
    case kTagPlaceObject:
    case kTagPlaceObject2:
    case kTagPlaceObject3: ReadPlaceObject(r, code, ctx, tl); return;
    case kTagRemoveObject:
    case kTagRemoveObject2: ReadRemoveObject(r, code, ctx, tl); return;
    case kTagDoAction: {
        ActionBlock block;
        try {
            ReadActionBlock(r, ctx, block);
        } catch (const ReadError&) {
            tl.AddActions(std::move(block));
            throw;
        }
        tl.AddActions(std::move(block));
        return;
    }
    case kTagFrameLabel: tl.SetLabel(r.String()); return;
    case kTagDoAbc:
    case kTagDoAbcPlain:
        if (!isSprite) ReadDoAbc(r, code, ctx);
        return;
    case kTagSymbolClass:
        if (!isSprite) ReadSymbolClass(r, ctx);
        return;
    case kTagDefineSceneAndFrameLabelData:
        if (!isSprite) ReadSceneData(r, ctx);
        return;
    case kTagDefineBinaryData:
        if (!isSprite) ReadBinaryData(r, ctx);
        return;
    case kTagSetBackgroundColor: tl.SetBackground(r.Rgb()); return;
    case kTagStartSound:
    case kTagStartSound2: ReadStartSound(r, code, ctx, tl); return;
    case kTagSoundStreamHead:
    case kTagSoundStreamHead2: ReadSoundStreamHead(r, ctx, tl); return;
    case kTagSoundStreamBlock: ReadSoundStreamBlock(r, ctx, tl); return;
    default: break;
    }
    if (isSprite) return;  // definitions are not allowed inside sprites
    switch (code) {
    case kTagDefineShape:
    case kTagDefineShape2:
    case kTagDefineShape3:
    case kTagDefineShape4: ReadDefineShape(r, code, ctx); return;
    case kTagDefineSprite: ReadDefineSprite(r, ctx, spriteDepth + 1); return;
    case kTagDefineButton:
    case kTagDefineButton2: ReadDefineButton(r, code, ctx); return;
    case kTagDefineButtonCxform: ReadDefineButtonCxform(r, ctx); return;
    case kTagDefineScalingGrid: ReadDefineScalingGrid(r, ctx); return;
    case kTagScriptLimits: ctx.movie.scriptRecursion = r.U16(); return;  // the timeout after it is ours
    case kTagJpegTables: ReadJpegTables(r, ctx); return;
    case kTagDefineBits:
    case kTagDefineBitsJpeg2:
    case kTagDefineBitsJpeg3:
    case kTagDefineBitsJpeg4: ReadDefineBitsJpeg(r, code, ctx); return;
    case kTagDefineBitsLossless:
    case kTagDefineBitsLossless2: ReadDefineBitsLossless(r, code, ctx); return;
    case kTagDefineMorphShape:
    case kTagDefineMorphShape2: ReadDefineMorphShape(r, code, ctx); return;
    case kTagDefineFont:
    case kTagDefineFont2:
    case kTagDefineFont3: ReadDefineFont(r, code, ctx); return;
    case kTagDefineFontInfo:
    case kTagDefineFontInfo2: ReadDefineFontInfo(r, code, ctx); return;
    case kTagDefineFontAlignZones: ReadDefineFontAlignZones(r, ctx); return;
    case kTagDefineFontName: ReadDefineFontName(r, ctx); return;
    case kTagDefineText:
    case kTagDefineText2: ReadDefineText(r, code, ctx); return;
    case kTagDefineEditText: ReadDefineEditText(r, ctx); return;
    case kTagCsmTextSettings: ReadCsmTextSettings(r, ctx); return;
    case kTagExportAssets: ReadExportAssets(r, ctx); return;
    case kTagDefineSound: ReadDefineSound(r, ctx); return;
    case kTagDefineButtonSound: ReadDefineButtonSound(r, ctx); return;
    case kTagDoInitAction: {
        InitAction init;
        init.spriteId = r.U16();
        try {
            ReadActionBlock(r, ctx, init.actions);
        } catch (const ReadError&) {
            tl.AddInitActions(std::move(init));
            throw;
        }
        tl.AddInitActions(std::move(init));
        return;
    }
    default: return;  // unknown or not yet supported: skipped by its length
    }
}

}  // namespace

bool ReadTagStream(ByteReader& body, ReadContext& ctx, TimelineBuilder& tl, bool isSprite,
                   int spriteDepth) {
    while (!body.AtEnd()) {
        size_t offset = body.FileOffset();
        uint16_t code = 0;
        size_t length = 0;
        try {
            uint16_t codeAndLength = body.U16();
            code = static_cast<uint16_t>(codeAndLength >> kTagCodeShift);
            length = codeAndLength & kTagLongLength;
            if (length == kTagLongLength) length = body.U32();
        } catch (const ReadError&) {
            ReportError(ctx.errors, TagMessage(code, offset, "tag header runs past the data"));
            return false;
        }
        if (length > body.Remaining()) {
            ReportError(ctx.errors, TagMessage(code, offset, "tag length exceeds the data"));
            return false;
        }
        ByteReader tag = body.Slice(length);
        if (code == kTagEnd) return true;
        try {
            ReadOneTag(code, tag, ctx, tl, isSprite, spriteDepth);
        } catch (const ReadError& e) {
            ReportError(ctx.errors, TagMessage(code, offset, e.what()));
        } catch (const std::bad_alloc&) {
            ReportError(ctx.errors, TagMessage(code, offset, "out of memory"));
        }
    }
    return false;
}

void ReportError(std::vector<std::string>& errors, std::string message) {
    constexpr size_t kMaxErrors = 64;
    if (errors.size() < kMaxErrors)
        errors.push_back(std::move(message));
    else if (errors.size() == kMaxErrors)
        errors.push_back("further errors are not listed");
}

void ReadContext::Define(uint16_t id, std::unique_ptr<Character> c) {
    c->id = id;
    if (!movie.dictionary.emplace(id, std::move(c)).second)
        throw ReadError("character id " + std::to_string(id) + " is already defined");
}

ReadResult ReadMovie(const std::vector<uint8_t>& bytes) {
    ReadResult result;
    auto movie = std::make_unique<Movie>();
    std::vector<uint8_t> data;
    if (!Expand(bytes, movie->header, data, result.errors)) return result;
    ByteReader r(data.data(), data.size());
    MovieHeader& h = movie->header;
    try {
        r.Skip(kFileSignatureBytes);
        h.stage = r.ReadRect();
        h.frameRate88 = r.U16();
        h.frameCount = r.U16();
    } catch (const ReadError&) {
        result.errors.push_back("header is truncated");
        return result;
    }
    ReadContext ctx{*movie, result.errors, h.version};
    TimelineBuilder tl(ctx, movie->root);
    ByteReader body = r.Slice(r.Remaining());
    const bool ended = ReadTagStream(body, ctx, tl, false, 0);
    if (!ended) ReportError(result.errors, "movie ends without an End tag");
    tl.Finish(h.frameCount, "movie", ended);
    result.movie = std::move(movie);
    return result;
}

}  // namespace swf
