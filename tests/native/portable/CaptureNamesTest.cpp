// Capture file names: the picker rebuilds paths from labels and the worker
// from numbers, so both must agree, and numbers past 99 must widen rather
// than wrap or truncate.
#include <gtest/gtest.h>

#include "capture/CaptureNames.h"

TEST(CaptureNamesTest, NumbersPadToTwoDigitsAndWidenPastNinetyNine) {
    EXPECT_EQ(CaptureFileName(0), "capture_00.bmp");
    EXPECT_EQ(CaptureFileName(7), "capture_07.bmp");
    EXPECT_EQ(CaptureFileName(99), "capture_99.bmp");
    EXPECT_EQ(CaptureFileName(100), "capture_100.bmp");
    EXPECT_EQ(CaptureLabel(100), "capture_100");
}

TEST(CaptureNamesTest, LabelAndNumberGiveTheSamePath) {
    const CString folder = "C:\\Temp\\Pictaro";
    EXPECT_EQ(CaptureFilePath(folder, 0), "C:\\Temp\\Pictaro\\capture_00.bmp");
    for (int number : {0, 12, 100, 1234})
        EXPECT_EQ(CapturePathFromLabel(folder, CaptureLabel(number)), CaptureFilePath(folder, number));
}

TEST(CaptureNamesTest, OnlyLabelsCaptureLabelMakesGiveANumber) {
    for (int number : {0, 7, 99, 100, 123456789}) EXPECT_EQ(CaptureNumberOfLabel(CaptureLabel(number)), number);
    for (const char* other : {"", "capture_", "capture_7", "capture_007", "capture_0x", "Capture_07", "capture_-1",
                              "capture_07.bmp", "capture_1234567890", "shot_07"})
        EXPECT_EQ(CaptureNumberOfLabel(other), -1) << other;
}

TEST(CaptureNamesTest, CaptionsShowTheCountOrTheMissingFile) {
    EXPECT_EQ(CapturedCaption("Captured", 1), "Captured: 01");
    EXPECT_EQ(CapturedCaption("Captured", 101), "Captured: 101");
    EXPECT_EQ(CaptureFailedCaption(3), "Capture failed: capture_03.bmp");
}
