// The picker's two dialog templates as linked into the program: caption,
// style, font, size, and every control in tab order with its id, class,
// text, styles and place. Read from the resource itself, since the dialog
// manager and the controls change some styles once the windows exist.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "picker/resource.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kAllBits = 0xFFFFFFFF;
constexpr int kNoId = -1;
constexpr WORD kOrdinalMark = 0xFFFF;

struct Control {
    int id;
    std::string cls;
    std::string text;
    DWORD style;
    DWORD styleMask;  // the bits compared
    short x, y, cx, cy;
};

struct Template {
    std::string caption;
    DWORD style = 0;
    WORD pointSize = 0;
    std::string face;
    short cx = 0, cy = 0;
    std::vector<Control> controls;
};

// Reads DLGTEMPLATEEX: fixed header, three sz_Or_Ord fields, the font, then
// DWORD-aligned items each ending in its creation data.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_data(data) {}

    template <typename T>
    T Take() {
        T value;
        std::memcpy(&value, m_data + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }

    // A string, or "#n" for an ordinal.
    std::string TakeNameOrOrdinal() {
        WORD first = Peek();
        if (first == kOrdinalMark) {
            Take<WORD>();
            return "#" + std::to_string(Take<WORD>());
        }
        return TakeString();
    }

    std::string TakeString() {
        std::string text;
        for (WORD unit = Take<WORD>(); unit != 0; unit = Take<WORD>()) text += static_cast<char>(unit);
        return text;
    }

    void AlignToDword() { m_at = (m_at + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t bytes) { m_at += bytes; }

private:
    WORD Peek() const {
        WORD value;
        std::memcpy(&value, m_data + m_at, sizeof(value));
        return value;
    }

    const BYTE* m_data;
    size_t m_at = 0;
};

std::string ClassName(const std::string& raw) {
    if (raw == "#128") return "button";
    if (raw == "#129") return "edit";
    if (raw == "#130") return "static";
    // Class names compare in lower case: resource compilers may store them
    // upper-cased, as window classes are not case-sensitive.
    std::string lower;
    for (char ch : raw) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower;
}

bool LoadTemplate(int id, Template& out) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data) return false;
    TemplateReader reader(data);
    reader.Take<WORD>();  // version
    if (reader.Take<WORD>() != kOrdinalMark) return false;  // not a DLGTEMPLATEEX
    reader.Take<DWORD>();  // help id
    reader.Take<DWORD>();  // extended style
    out.style = reader.Take<DWORD>();
    WORD count = reader.Take<WORD>();
    reader.Take<short>();
    reader.Take<short>();
    out.cx = reader.Take<short>();
    out.cy = reader.Take<short>();
    reader.TakeNameOrOrdinal();  // menu
    reader.TakeNameOrOrdinal();  // class
    out.caption = reader.TakeString();
    if (out.style & DS_SETFONT) {
        out.pointSize = reader.Take<WORD>();
        reader.Take<WORD>();  // weight
        reader.Take<BYTE>();  // italic
        reader.Take<BYTE>();  // character set
        out.face = reader.TakeString();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        Control control;
        reader.Take<DWORD>();  // help id
        reader.Take<DWORD>();  // extended style
        control.style = reader.Take<DWORD>();
        control.styleMask = kAllBits;
        control.x = reader.Take<short>();
        control.y = reader.Take<short>();
        control.cx = reader.Take<short>();
        control.cy = reader.Take<short>();
        control.id = static_cast<int>(reader.Take<DWORD>());
        control.cls = ClassName(reader.TakeNameOrOrdinal());
        control.text = reader.TakeNameOrOrdinal();
        reader.Skip(reader.Take<WORD>());
        out.controls.push_back(control);
    }
    return true;
}

void ExpectControls(const std::vector<Control>& seen, const std::vector<Control>& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& want = expected[i];
        const Control& got = seen[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.cls, want.cls);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style & want.styleMask, want.style) << std::hex << got.style;
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

}  // namespace

TEST(PickerTemplateTest, PickerHasItsCaptionFontAndControlsInTabOrder) {
    Template picker;
    ASSERT_TRUE(LoadTemplate(IDD_PICKER, picker));
    EXPECT_EQ(picker.caption, "Pick and Print / Save");
    EXPECT_EQ(picker.style, static_cast<DWORD>(0x80C800C0));
    EXPECT_EQ(picker.pointSize, 8);
    EXPECT_EQ(picker.face, "Tahoma");
    EXPECT_EQ(picker.cx, 324);
    EXPECT_EQ(picker.cy, 222);
    const DWORD list = kChild | LVS_ICON | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | WS_BORDER | WS_TABSTOP;
    EXPECT_EQ(list, static_cast<DWORD>(0x50810108));
    ExpectControls(picker.controls,
                   {
                       {IDOK, "button", "Close", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, kAllBits, 260, 12, 50, 14},
                       {IDC_CAPTURE_LIST, "syslistview32", "", list, kAllBits, 5, 31, 242, 184},
                       {IDC_PICKER_OPEN, "button", "Open", kChild | WS_TABSTOP, kAllBits, 261, 61, 50, 14},
                       {IDC_PICKER_SAVE, "button", "Save", kChild | WS_TABSTOP, kAllBits, 262, 185, 50, 14},
                       {IDC_PICKER_PRINT, "button", "Print", kChild | WS_TABSTOP, kAllBits, 261, 79, 50, 14},
                       {IDC_PICKER_SAVE_ALL, "button", "Save All", kChild | WS_TABSTOP, kAllBits, 262, 201, 50, 14},
                       {kNoId, "button", "Add Watermark", kChild | BS_GROUPBOX, kAllBits, 254, 127, 65, 51},
                       {IDC_WATERMARK, "edit", "", kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kAllBits, 259,
                        140, 55, 12},
                       {kNoId, "static", "for \"Save\" and \"Save All\"", kChild | SS_LEFT | WS_GROUP | WS_DISABLED,
                        kAllBits, 262, 156, 51, 18},
                       {kNoId, "static", "", kChild | SS_ETCHEDHORZ, kAllBits, 251, 33, 69, 1},
                       {kNoId, "static", "Choose pictures you want to print and save.", kChild | SS_LEFT | WS_GROUP,
                        kAllBits, 7, 7, 240, 22},
                   });
}

TEST(PickerTemplateTest, QualityDialogHasItsTrackBarAndCentredLabels) {
    Template quality;
    ASSERT_TRUE(LoadTemplate(IDD_JPEG_QUALITY, quality));
    EXPECT_EQ(quality.caption, "Set the quality of JPEG");
    EXPECT_EQ(quality.style, static_cast<DWORD>(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(quality.pointSize, 8);
    EXPECT_EQ(quality.face, "Tahoma");
    EXPECT_EQ(quality.cx, 194);
    EXPECT_EQ(quality.cy, 84);
    // The labels' group bit is not fixed; their alignment is.
    const DWORD label = kChild | SS_TYPEMASK;
    ExpectControls(quality.controls,
                   {
                       {IDOK, "button", "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, kAllBits, 139, 47, 50, 14},
                       {IDCANCEL, "button", "Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, kAllBits, 139, 64, 50, 14},
                       {IDC_QUALITY_SLIDER, "msctls_trackbar32", "", kChild | TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP,
                        kAllBits, 7, 6, 179, 23},
                       {kNoId, "static", "0", kChild | SS_CENTER, label, 8, 28, 16, 8},
                       {kNoId, "static", "50", kChild | SS_CENTER, label, 92, 28, 9, 8},
                       {kNoId, "static", "100", kChild | SS_CENTER, label, 170, 28, 13, 8},
                   });
}
