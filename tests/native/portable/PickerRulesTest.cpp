#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "picker/PickerRules.h"

TEST(PickerRulesTest, ExtensionChoosesHowThePictureIsWritten) {
    for (const char* ext : {"jpg", "JPG", "Jpg"}) EXPECT_EQ(SaveKindForExtension(ext), SaveKind::Jpeg) << ext;
    for (const char* ext : {"png", "PNG"}) EXPECT_EQ(SaveKindForExtension(ext), SaveKind::Png) << ext;
    for (const char* ext : {"bmp", "BmP"}) EXPECT_EQ(SaveKindForExtension(ext), SaveKind::Copy) << ext;
    // Anything else, "jpeg" included, is BMP-encoded under the chosen name.
    for (const char* ext : {"gif", "jpeg", "", "jpg "}) EXPECT_EQ(SaveKindForExtension(ext), SaveKind::Bmp) << ext;

    EXPECT_STREQ(MimeTypeForSaveKind(SaveKind::Jpeg), L"image/jpeg");
    EXPECT_STREQ(MimeTypeForSaveKind(SaveKind::Png), L"image/png");
    EXPECT_STREQ(MimeTypeForSaveKind(SaveKind::Bmp), L"image/bmp");
}

TEST(PickerRulesTest, PaintCommandLineExpandsOnlyTheExactSystemRoot) {
    EXPECT_EQ(ExpandSystemRoot("%SystemRoot%\\system32\\mspaint.exe", "C:\\windows"),
              "C:\\windows\\system32\\mspaint.exe");
    EXPECT_EQ(ExpandSystemRoot("%SystemRoot%\\a;%SystemRoot%\\b", "D:\\W"), "D:\\W\\a;D:\\W\\b");
    EXPECT_EQ(ExpandSystemRoot("%systemroot%\\paint.exe", "C:\\windows"), "%systemroot%\\paint.exe");
    EXPECT_EQ(ExpandSystemRoot("%WINDIR%\\paint.exe", "C:\\windows"), "%WINDIR%\\paint.exe");
    EXPECT_EQ(ExpandSystemRoot("", "C:\\windows"), "");

    EXPECT_TRUE(HasUnexpandedVariable("%systemroot%\\paint.exe"));
    EXPECT_TRUE(HasUnexpandedVariable("C:\\%WINDIR%\\paint.exe"));
    EXPECT_FALSE(HasUnexpandedVariable("C:\\windows\\paint.exe"));
    EXPECT_FALSE(HasUnexpandedVariable("C:\\100% sure\\paint.exe"));
    EXPECT_FALSE(HasUnexpandedVariable("C:\\a%%b\\paint.exe"));

    EXPECT_EQ(QuoteArgument("C:\\Users\\A B\\Temp\\Pictaro\\capture_00.bmp"),
              "\"C:\\Users\\A B\\Temp\\Pictaro\\capture_00.bmp\"");
}

TEST(PickerRulesTest, RegistryTextNeverReadsPastWhatWasRead) {
    // A value stored without its terminating NUL, followed by bytes that
    // were never part of it.
    std::vector<char> buffer(16, 'X');
    std::memcpy(buffer.data(), "  paint.exe ", 12);
    EXPECT_EQ(RegistryText(buffer.data(), 12), "paint.exe");
    EXPECT_EQ(RegistryText(buffer.data(), 0), "");

    const char withNul[] = "\tC:\\paint.exe\r\n\0garbage";
    EXPECT_EQ(RegistryText(withNul, sizeof(withNul)), "C:\\paint.exe");
    EXPECT_EQ(RegistryText(nullptr, 5), "");
}

TEST(PickerRulesTest, FailureTextSaysHowManyAndWhere) {
    EXPECT_EQ(SaveFailureText(1, 1, "C:\\out\\shot.jpg", ""), "The picture could not be written to C:\\out\\shot.jpg.");
    CString many = SaveFailureText(3, 10, "C:\\out", "Access is denied.");
    EXPECT_EQ(many, "3 of 10 pictures could not be written to C:\\out.\n\nAccess is denied.");
}
