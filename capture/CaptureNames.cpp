#include "capture/CaptureNames.h"

#include <cstring>

namespace {

const char kLabelFormat[] = "capture_%02d";
const char kLabelPrefix[] = "capture_";
constexpr int kMaxDigits = 9;  // any number below 10^9 fits an int
const char kBitmapExtension[] = ".bmp";
const char kCaptionFormat[] = "%s: %02d";
const char kFailedFormat[] = "Capture failed: %s";

}  // namespace

CString CaptureLabel(int number) { return CString::FormatText(kLabelFormat, number); }

int CaptureNumberOfLabel(const CString& label) {
    const size_t prefix = sizeof kLabelPrefix - 1;
    if (std::strncmp(label.GetString(), kLabelPrefix, prefix) != 0) return -1;
    const char* digits = label.GetString() + prefix;
    int number = 0;
    int count = 0;
    for (const char* p = digits; *p; ++p, ++count) {
        if (*p < '0' || *p > '9' || count == kMaxDigits) return -1;
        number = number * 10 + (*p - '0');
    }
    // Only the spelling CaptureLabel gives: "capture_7" and "capture_007" are not captures.
    return label.Compare(CaptureLabel(number)) == 0 ? number : -1;
}

CString CaptureFileName(int number) { return CaptureLabel(number) + kBitmapExtension; }

CString CaptureFilePath(const CString& folder, int number) { return CapturePathFromLabel(folder, CaptureLabel(number)); }

CString CapturePathFromLabel(const CString& folder, const CString& label) {
    return folder + "\\" + label + kBitmapExtension;
}

CString CapturedCaption(const char* word, int count) { return CString::FormatText(kCaptionFormat, word, count); }

CString CaptureFailedCaption(int number) {
    return CString::FormatText(kFailedFormat, CaptureFileName(number).GetString());
}
