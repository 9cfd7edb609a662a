// The file format's numbers: tag codes, flag bits, type codes and the widths
// of bit fields. The reader and swfmake's writer both use these, so the two
// cannot drift apart. Numbers only; what they mean to the player is decided
// where they are read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swf {

// File header: "FWS"/"CWS", version, FileLength; a "CWS" movie is
// compressed from the byte after these.
constexpr size_t kFileSignatureBytes = 8;

// A tag header is one 16-bit value: code << 6 | length, where a length of
// 0x3F says a 32-bit length follows.
constexpr int kTagCodeShift = 6;
constexpr uint32_t kTagLongLength = 0x3F;
constexpr uint32_t kTagShortLengthMax = kTagLongLength - 1;

enum TagCode : uint16_t {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagDefineBits = 6,
    kTagDefineButton = 7,
    kTagJpegTables = 8,
    kTagSetBackgroundColor = 9,
    kTagDefineFont = 10,
    kTagDefineText = 11,
    kTagDoAction = 12,
    kTagDefineFontInfo = 13,
    kTagDefineBitsLossless = 20,
    kTagDefineBitsJpeg2 = 21,
    kTagDoInitAction = 59,
    kTagExportAssets = 56,
    kTagDefineShape2 = 22,
    kTagDefineButtonCxform = 23,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineText2 = 33,
    kTagDefineButton2 = 34,
    kTagDefineBitsJpeg3 = 35,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagFrameLabel = 43,
    kTagDefineMorphShape = 46,
    kTagDefineFont2 = 48,
    kTagDefineFontInfo2 = 62,
    kTagPlaceObject3 = 70,
    kTagDefineFontAlignZones = 73,
    kTagCsmTextSettings = 74,
    kTagDefineFont3 = 75,
    kTagDefineScalingGrid = 78,
    kTagScriptLimits = 65,
    kTagDefineShape4 = 83,
    kTagDefineMorphShape2 = 84,
    kTagDefineBinaryData = 87,
    kTagDefineFontName = 88,
    kTagDefineBitsJpeg4 = 90,
    kTagDoAbcPlain = 72,  // DoABC without flags and name
    kTagSymbolClass = 76,
    kTagDefineSceneAndFrameLabelData = 86,
    kTagDoAbc = 82,
    kTagDefineSound = 14,
    kTagStartSound = 15,
    kTagDefineButtonSound = 17,
    kTagSoundStreamHead = 18,
    kTagSoundStreamBlock = 19,
    kTagSoundStreamHead2 = 45,
    kTagStartSound2 = 89,
};

// DefineBitsLossless/Lossless2 pixel formats.
enum LosslessFormat : uint8_t {
    kLosslessColorMapped = 3,  // 8-bit indices into a colour table
    kLosslessRgb15 = 4,        // 0RRRRRGG GGGBBBBB, big-endian
    kLosslessRgb32 = 5,        // xRGB (Lossless) or premultiplied ARGB (Lossless2)
};
// Rows of formats 3 and 4 are padded to a multiple of this many bytes.
constexpr size_t kLosslessRowAlign = 4;

// Bit-field widths shared by several records.
constexpr int kRectBitsField = 5;    // NBits of a RECT or a MATRIX part
constexpr int kCxformBitsField = 4;  // NBits of a CXFORM

// PlaceObject2/3, first flag byte.
enum PlaceFlags : uint8_t {
    kPlaceMove = 0x01,
    kPlaceHasCharacter = 0x02,
    kPlaceHasMatrix = 0x04,
    kPlaceHasCxform = 0x08,
    kPlaceHasRatio = 0x10,
    kPlaceHasName = 0x20,
    kPlaceHasClipDepth = 0x40,
    kPlaceHasClipActions = 0x80,
};

// onClipEvent events, as a little-endian 32-bit field (SWF 5 stores only
// the low 16 bits).
enum ClipEventFlags : uint32_t {
    kClipLoad = 0x01, kClipEnterFrame = 0x02, kClipUnload = 0x04, kClipMouseMove = 0x08,
    kClipMouseDown = 0x10, kClipMouseUp = 0x20, kClipKeyDown = 0x40, kClipKeyUp = 0x80,
    kClipData = 0x100, kClipInitialize = 0x200, kClipPress = 0x400, kClipRelease = 0x800,
    kClipReleaseOutside = 0x1000, kClipRollOver = 0x2000, kClipRollOut = 0x4000, kClipDragOver = 0x8000,
    kClipDragOut = 0x10000, kClipKeyPress = 0x20000, kClipConstruct = 0x40000,
};

// PlaceObject3, second flag byte.
enum Place3Flags : uint8_t {
    kPlace3HasFilters = 0x01,
    kPlace3HasBlendMode = 0x02,
    kPlace3HasCacheAsBitmap = 0x04,
    kPlace3HasClassName = 0x08,
    kPlace3HasImage = 0x10,
    kPlace3HasVisible = 0x20,
    kPlace3HasBackground = 0x40,
};
// PlaceObject3's visible flag counts from this file version on.
constexpr int kPlaceVisibleVersion = 11;

// DefineShape versions (1..4 for DefineShape..DefineShape4) where a field
// changes: style counts may be extended from 2, colours are RGBA from 3,
// line styles carry caps, joins and fills from 4.
constexpr int kShapeExtendedCountVersion = 2;
constexpr int kShapeRgbaVersion = 3;
constexpr int kShapeLineStyle2Version = 4;
// DefineShape4's flag byte: fills use nonzero winding when set, even-odd
// when clear.
constexpr uint8_t kShape4NonZeroWinding = 0x04;

// A style count byte of 0xFF says a 16-bit count follows.
constexpr uint8_t kExtendedCount = 0xFF;

enum FillType : uint8_t {
    kFillSolid = 0x00,
    kFillLinear = 0x10,
    kFillRadial = 0x12,
    kFillFocal = 0x13,
    kFillBitmapRepeatSmooth = 0x40,
    kFillBitmapClipSmooth = 0x41,
    kFillBitmapRepeat = 0x42,
    kFillBitmapClip = 0x43,
};

// DefineShape4 line styles: caps and join, then flags around reserved bits.
constexpr int kCapStyleBits = 2;
constexpr int kJoinStyleBits = 2;
constexpr int kLineStyle2ReservedBits = 5;

// Gradient header: spread, interpolation, stop count.
constexpr int kGradientSpreadBits = 2;
constexpr int kGradientInterpolationBits = 2;
constexpr int kGradientCountBits = 4;
constexpr int kMaxGradientStops = (1 << kGradientCountBits) - 1;

// Shape records. A record starts with a type bit (1: edge). A style change
// then has five flag bits; all five clear ends the shape.
enum StyleChangeFlags : uint32_t {
    kChangeMoveTo = 0x01,
    kChangeFill0 = 0x02,
    kChangeFill1 = 0x04,
    kChangeLine = 0x08,
    kChangeNewStyles = 0x10,
};
constexpr int kStyleChangeFlagBits = 5;
constexpr int kMoveBitsField = 5;   // NBits of a move-to
constexpr int kStyleBitsField = 4;  // NumFillBits, NumLineBits
constexpr int kEdgeBitsField = 4;   // NumBits of an edge, stored minus the bias
constexpr int kEdgeBitsBias = 2;

// DefineFont2/3 flag byte.
enum FontFlags : uint8_t {
    kFontBold = 0x01,
    kFontItalic = 0x02,
    kFontWideCodes = 0x04,
    kFontWideOffsets = 0x08,
    kFontAnsi = 0x10,
    kFontSmallText = 0x20,
    kFontShiftJis = 0x40,
    kFontHasLayout = 0x80,
};
// DefineFontInfo/2 flag byte: the same low bits, without offsets/layout.
enum FontInfoFlags : uint8_t {
    kFontInfoWideCodes = 0x01,
    kFontInfoBold = 0x02,
    kFontInfoItalic = 0x04,
    kFontInfoAnsi = 0x08,
    kFontInfoShiftJis = 0x10,
    kFontInfoSmallText = 0x20,
};
// DefineFontAlignZones: per zone record, two (coordinate, range) pairs of
// half-floats, then a flag byte saying which axes are hinted.
constexpr int kFontZoneHintBits = 2;
constexpr uint8_t kZoneMaskX = 0x01;
constexpr uint8_t kZoneMaskY = 0x02;

// Text records of DefineText/2: a first byte whose top bit is set starts a
// style change; 0 ends the list.
enum TextRecordFlags : uint8_t {
    kTextHasX = 0x01,
    kTextHasY = 0x02,
    kTextHasColor = 0x04,
    kTextHasFont = 0x08,
    kTextRecordType = 0x80,
};

// DefineEditText flags: first byte in the high 8 bits.
enum EditTextFlags : uint16_t {
    kEditUseOutlines = 0x0001,
    kEditHtml = 0x0002,
    kEditWasStatic = 0x0004,
    kEditBorder = 0x0008,
    kEditNoSelect = 0x0010,
    kEditHasLayout = 0x0020,
    kEditAutoSize = 0x0040,
    kEditHasFontClass = 0x0080,
    kEditHasFont = 0x0100,
    kEditHasMaxLength = 0x0200,
    kEditHasTextColor = 0x0400,
    kEditReadOnly = 0x0800,
    kEditPassword = 0x1000,
    kEditMultiline = 0x2000,
    kEditWordWrap = 0x4000,
    kEditHasText = 0x8000,
};

// CSMTextSettings: UseFlashType (2 bits), GridFit (3 bits), 3 reserved.
constexpr int kCsmFlashTypeBits = 2;
constexpr int kCsmGridFitBits = 3;
constexpr int kCsmReservedBits = 3;

// Button records: state bits in a record's flag byte.
enum ButtonStateFlags : uint8_t {
    kButtonUp = 1,
    kButtonOver = 2,
    kButtonDown = 4,
    kButtonHit = 8,
};

// DefineButton2 condition bits, as one 16-bit value: the first flag byte in
// the low 8 bits, the second byte (key code, OverDownToIdle) in the high 8.
enum ButtonCondition : uint16_t {
    kCondIdleToOverUp = 0x0001,
    kCondOverUpToIdle = 0x0002,
    kCondOverUpToOverDown = 0x0004,  // press
    kCondOverDownToOverUp = 0x0008,  // release over the button: a click
    kCondOverDownToOutDown = 0x0010,
    kCondOutDownToOverDown = 0x0020,
    kCondOutDownToIdle = 0x0040,
    kCondIdleToOverDown = 0x0080,
    kCondOverDownToIdle = 0x0100,
};
// The top seven condition bits hold a key-press code (0: none).
constexpr int kCondKeyShift = 9;
// Key-press codes for keys without a character; printable keys use ASCII.
enum ButtonKeyCode : uint8_t {
    kButtonKeyLeft = 1, kButtonKeyRight = 2, kButtonKeyHome = 3, kButtonKeyEnd = 4,
    kButtonKeyInsert = 5, kButtonKeyDelete = 6, kButtonKeyBackspace = 8, kButtonKeyEnter = 13,
    kButtonKeyUp = 14, kButtonKeyDown = 15, kButtonKeyPageUp = 16, kButtonKeyPageDown = 17,
    kButtonKeyTab = 18, kButtonKeyEscape = 19,
};

constexpr uint8_t kButton2TrackAsMenu = 0x01;
constexpr size_t kButtonCondHeaderBytes = 4;  // CondActionSize + conditions

// Action records: a code, and from 0x80 a 16-bit length and payload.
enum ActionCode : uint8_t {
    kActionEnd = 0x00,
    kActionNextFrame = 0x04,
    kActionPrevFrame = 0x05,
    kActionPlay = 0x06,
    kActionStop = 0x07,
    kActionPop = 0x17,
    kActionGotoFrame = 0x81,
    kActionGetUrl = 0x83,
    kActionConstantPool = 0x88,
    kActionSetTarget = 0x8B,
    kActionGotoLabel = 0x8C,
    kActionPush = 0x96,
    kActionGetUrl2 = 0x9A,
    kActionGotoFrame2 = 0x9F,
};
constexpr uint8_t kActionHasLength = 0x80;

enum PushType : uint8_t {
    kPushString = 0,
    kPushFloat = 1,
    kPushNull = 2,
    kPushUndefined = 3,
    kPushRegister = 4,
    kPushBool = 5,
    kPushDouble = 6,
    kPushInt = 7,
    kPushConstant8 = 8,
    kPushConstant16 = 9,
};

// GetURL2: how to send variables, and which target kinds.
enum GetUrl2Flags : uint8_t {
    kGetUrl2SendGet = 1,
    kGetUrl2SendPost = 2,
    kGetUrl2LoadTarget = 0x40,  // target is a sprite path, not a window
    kGetUrl2LoadVariables = 0x80,
};

enum GotoFrame2Flags : uint8_t {
    kGotoFrame2Play = 0x01,
    kGotoFrame2HasBias = 0x02,
};

// A GetURL whose URL starts with this (any case) is a call to the host.
constexpr char kFsCommandPrefix[] = "FSCommand:";

}  // namespace swf
