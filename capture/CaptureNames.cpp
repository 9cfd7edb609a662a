#include "capture/CaptureNames.h"

namespace {

const char kLabelFormat[] = "capture_%02d";
const char kBitmapExtension[] = ".bmp";
const char kCaptionFormat[] = "%s: %02d";
const char kFailedFormat[] = "Capture failed: %s";

}  // namespace

CString CaptureLabel(int number) { return CString::FormatText(kLabelFormat, number); }

CString CaptureFileName(int number) { return CaptureLabel(number) + kBitmapExtension; }

CString CaptureFilePath(const CString& folder, int number) { return CapturePathFromLabel(folder, CaptureLabel(number)); }

CString CapturePathFromLabel(const CString& folder, const CString& label) {
    return folder + "\\" + label + kBitmapExtension;
}

CString CapturedCaption(const char* word, int count) { return CString::FormatText(kCaptionFormat, word, count); }

CString CaptureFailedCaption(int number) {
    return CString::FormatText(kFailedFormat, CaptureFileName(number).GetString());
}
