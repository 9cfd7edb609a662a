// CFile's exclusive read-only opening and its exceptions; CFileFind's walk,
// whose FindNextFile says whether another entry follows the one it moved to.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/File.h"
#include "framework/FileFind.h"
#include "tests/win/common/WinTestUtil.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(wintest::WriteBytes(m_path, {'S', 'W', 'F', '!', 7})); }
    wintest::TempFolder m_folder;
    std::string m_path = m_folder.File("movie.swf");
};

TEST_F(FilesTest, ReadOnlyOpenIsExclusiveAndReads) {
    CFile file(m_path.c_str(), CFile::modeRead | CFile::shareExclusive);
    EXPECT_EQ(file.GetLength(), 5u);
    char bytes[8] = {};
    EXPECT_EQ(file.Read(bytes, sizeof(bytes)), 5u);
    EXPECT_EQ(std::string(bytes, 4), "SWF!");
    EXPECT_EQ(file.Read(bytes, sizeof(bytes)), 0u);

    // While it is open nobody else may open it, for reading or writing.
    CFile second;
    CFileException error(CFileException::Operation::Read, "", 0);
    EXPECT_FALSE(second.Open(m_path.c_str(), CFile::modeRead | CFile::shareExclusive, &error));
    EXPECT_EQ(error.m_lOsError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(error.m_operation == CFileException::Operation::Open);
    HANDLE writer = ::CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);

    file.Close();
    EXPECT_TRUE(second.Open(m_path.c_str(), CFile::modeRead | CFile::shareExclusive));
}

TEST_F(FilesTest, AFileHeldByAnotherHandleThrowsNamingThePath) {
    HANDLE holder = ::CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    try {
        CFile file(m_path.c_str(), CFile::modeRead | CFile::shareExclusive);
        ADD_FAILURE() << "opened a file another handle holds exclusively";
    } catch (const CFileException& e) {
        EXPECT_EQ(std::string(e.m_strFileName.GetString()), m_path);
        EXPECT_EQ(e.m_lOsError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        std::string text = e.Describe().GetString();
        EXPECT_NE(text.find("could not open the file " + m_path), std::string::npos) << text;
    }
    ::CloseHandle(holder);

    try {
        CFile file(m_folder.File("missing.swf").c_str(), CFile::modeRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_lOsError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

struct Entry {
    std::string name, path;
    bool dots, directory;
};

std::vector<Entry> Walk(const std::string& pattern) {
    std::vector<Entry> entries;
    CFileFind finder;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
        more = finder.FindNextFile();
        entries.push_back({finder.GetFileName().GetString(), finder.GetFilePath().GetString(),
                           finder.IsDots() != FALSE, finder.IsDirectory() != FALSE});
        EXPECT_FALSE(finder.IsReparsePoint()) << entries.back().name;
    }
    EXPECT_FALSE(finder.FindNextFile());  // past the end it stays at the end
    return entries;
}

const Entry* Named(const std::vector<Entry>& entries, const char* name) {
    auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.name == name; });
    return it == entries.end() ? nullptr : &*it;
}

TEST_F(FilesTest, FindWalksEveryEntryIncludingTheLast) {
    ASSERT_TRUE(wintest::WriteBytes(m_folder.File("capture_00.bmp"), {1}));
    ASSERT_TRUE(::CreateDirectoryA(m_folder.File("sub").c_str(), nullptr));

    std::vector<Entry> all = Walk(m_folder.Path() + "\\*.*");
    ASSERT_EQ(all.size(), 5u);  // ".", "..", two files and the folder
    ASSERT_TRUE(Named(all, ".") && Named(all, "..") && Named(all, "sub"));
    EXPECT_TRUE(Named(all, ".")->dots && Named(all, "..")->dots);
    EXPECT_TRUE(Named(all, "sub")->directory);
    EXPECT_FALSE(Named(all, "sub")->dots);
    ASSERT_TRUE(Named(all, "movie.swf"));
    EXPECT_FALSE(Named(all, "movie.swf")->directory);
    EXPECT_EQ(Named(all, "movie.swf")->path, m_path);

    // A single match is the case a "has more" loop most easily drops.
    std::vector<Entry> one = Walk(m_folder.Path() + "\\*.bmp");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].path, m_folder.File("capture_00.bmp"));
    EXPECT_TRUE(Walk(m_folder.Path() + "\\*.jpg").empty());
}

}  // namespace
