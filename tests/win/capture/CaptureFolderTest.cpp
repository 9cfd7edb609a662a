// Emptying the capture folder: everything inside goes, the folder stays,
// and links inside it are removed without touching what they point to.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "capture/CaptureFolder.h"
#include "tests/win/common/WinTestUtil.h"

using wintest::FileExists;
using wintest::FolderEntries;
using wintest::TempFolder;
using wintest::WriteBytes;

namespace {

const std::vector<uint8_t> kSomeBytes = {'p', 'i', 'c'};

// A mount point's reparse data (the layout of REPARSE_DATA_BUFFER, which
// the MinGW headers lack): the NT path "\??\C:\x" and the display path.
bool MakeJunction(const std::string& link, const std::string& target) {
    if (!::CreateDirectoryA(link.c_str(), nullptr)) return false;
    std::wstring wideTarget(target.begin(), target.end());
    std::wstring substitute = L"\\??\\" + wideTarget;
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * sizeof(WCHAR));
    const WORD printBytes = static_cast<WORD>(wideTarget.size() * sizeof(WCHAR));
    const WORD pathBytes = substituteBytes + sizeof(WCHAR) + printBytes + sizeof(WCHAR);
    const WORD kMountPointHeader = 4 * sizeof(WORD);
    const DWORD kReparseHeader = sizeof(DWORD) + 2 * sizeof(WORD);
    std::vector<BYTE> data(kReparseHeader + kMountPointHeader + pathBytes, 0);
    DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    WORD fields[6] = {static_cast<WORD>(kMountPointHeader + pathBytes), 0, 0, substituteBytes,
                      static_cast<WORD>(substituteBytes + sizeof(WCHAR)), printBytes};
    memcpy(data.data(), &tag, sizeof(tag));
    memcpy(data.data() + sizeof(tag), fields, sizeof(fields));
    BYTE* paths = data.data() + kReparseHeader + kMountPointHeader;
    memcpy(paths, substitute.c_str(), substituteBytes);
    memcpy(paths + substituteBytes + sizeof(WCHAR), wideTarget.c_str(), printBytes);

    HANDLE dir = ::CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (dir == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(dir, FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                                nullptr, 0, &returned, nullptr);
    ::CloseHandle(dir);
    if (!ok) ::RemoveDirectoryA(link.c_str());
    return ok != FALSE;
}

// Wine 8 cannot make junctions (ERROR_NOT_SUPPORTED) and its
// CreateSymbolicLink does nothing, but it shows a Unix symbolic link to a
// folder as a directory reparse point: that one is made with ln, through
// Wine's own path translation.
bool MakeUnixLink(const std::string& link, const std::string& target) {
    typedef char*(CDECL * UnixName)(LPCWSTR);
    FARPROC found = ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    UnixName unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(found));
    if (!unixName) return false;
    std::string parent = link.substr(0, link.rfind('\\'));
    std::wstring wideParent(parent.begin(), parent.end()), wideTarget(target.begin(), target.end());
    char* unixParent = unixName(wideParent.c_str());
    char* unixTarget = unixName(wideTarget.c_str());
    if (!unixParent || !unixTarget) return false;
    std::string command = std::string("Z:\\bin\\ln -s ") + unixTarget + " " + unixParent + "/" +
                          link.substr(link.rfind('\\') + 1);
    ::HeapFree(::GetProcessHeap(), 0, unixParent);
    ::HeapFree(::GetProcessHeap(), 0, unixTarget);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // The Unix process runs detached from its handle: wait for its result.
    return wintest::PollUntil([&] { return FileExists(link); });
}

bool IsReparsePoint(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class CaptureFolderTest : public ::testing::Test {
protected:
    CaptureFolderTest() : m_captures(m_root.File("Pictaro")) {
        ::CreateDirectoryA(m_captures.c_str(), nullptr);
    }
    std::string Inside(const char* name) const { return m_captures + "\\" + name; }

    TempFolder m_root;
    std::string m_captures;
};

TEST_F(CaptureFolderTest, RemovesFilesAndNestedFoldersButKeepsTheFolder) {
    ASSERT_TRUE(WriteBytes(Inside("capture_00.bmp"), kSomeBytes));
    ASSERT_TRUE(WriteBytes(Inside("capture_100.bmp"), kSomeBytes));
    ASSERT_TRUE(::CreateDirectoryA(Inside("by hand").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(Inside("by hand\\deeper").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(Inside("by hand\\deeper\\note.txt"), kSomeBytes));

    DeleteFolderContents(m_captures.c_str());

    EXPECT_TRUE(FileExists(m_captures));
    EXPECT_TRUE(FolderEntries(m_captures).empty());
    // A trailing backslash names the same folder.
    ASSERT_TRUE(WriteBytes(Inside("capture_01.bmp"), kSomeBytes));
    DeleteFolderContents((m_captures + "\\").c_str());
    EXPECT_TRUE(FolderEntries(m_captures).empty());
}

TEST_F(CaptureFolderTest, AFileThatCannotBeDeletedStaysAndTheRestGoes) {
    ASSERT_TRUE(WriteBytes(Inside("capture_00.bmp"), kSomeBytes));
    ASSERT_TRUE(WriteBytes(Inside("capture_01.bmp"), kSomeBytes));
    ASSERT_TRUE(WriteBytes(Inside("capture_02.bmp"), kSomeBytes));
    // Held open without delete sharing, as a viewer holds a picture.
    HANDLE held = ::CreateFileA(Inside("capture_01.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    DeleteFolderContents(m_captures.c_str());
    ::CloseHandle(held);

    EXPECT_EQ(FolderEntries(m_captures), std::vector<std::string>{"capture_01.bmp"});
}

TEST(CaptureFolderShortPathTest, PathsUnderSevenCharactersAreLeftAlone) {
    const std::string shortFolder = "C:\\pc6";  // six characters
    ::CreateDirectoryA(shortFolder.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(shortFolder + "\\keep.txt", kSomeBytes));

    DeleteFolderContents(shortFolder.c_str());
    DeleteFolderContents("");

    EXPECT_TRUE(FileExists(shortFolder + "\\keep.txt"));
    wintest::RemoveTree(shortFolder);
}

TEST_F(CaptureFolderTest, ALinkIsNeverFollowedIntoItsTarget) {
    TempFolder outside;
    ASSERT_TRUE(WriteBytes(outside.File("precious.txt"), kSomeBytes));
    ASSERT_TRUE(::CreateDirectoryA(outside.File("inner").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(outside.File("inner\\more.txt"), kSomeBytes));
    const std::string link = Inside("link");
    ASSERT_TRUE(WriteBytes(Inside("capture_00.bmp"), kSomeBytes));
    ASSERT_TRUE(MakeJunction(link, outside.Path()) || MakeUnixLink(link, outside.Path()));
    ASSERT_TRUE(IsReparsePoint(link));
    ASSERT_TRUE(FileExists(link + "\\precious.txt"));  // the link really leads there

    DeleteFolderContents(m_captures.c_str());

    // Windows removes the link itself; Wine cannot remove a Unix link
    // through any Win32 call, so there it may stay, still a link.
    std::vector<std::string> left = FolderEntries(m_captures);
    EXPECT_TRUE(left.empty() || (left == std::vector<std::string>{"link"} && IsReparsePoint(link)));
    EXPECT_TRUE(FileExists(outside.File("precious.txt")));
    EXPECT_TRUE(FileExists(outside.File("inner\\more.txt")));
}

}  // namespace
