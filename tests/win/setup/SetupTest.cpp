// The setup as a Windows user meets it: installed silently into Program
// Files, the installed program started from there, then uninstalled, which
// must leave no file, shortcut or registry key of ours behind.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdlib>
#include <string>

#include "tests/win/common/WinTestUtil.h"
#include "tests/win/e2e/PictaroProcess.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pictaro";
constexpr char kProgId[] = "Pictaro.swf";
constexpr char kProgIdOpen[] = "Pictaro.swf\\shell\\open\\command";
constexpr char kApplicationKey[] = "Applications\\pictaro.exe";
constexpr char kOpenWith[] = ".swf\\OpenWithProgids";
const char* const kInstalledFiles[] = {"pictaro.exe", "action.swf", "swfshot.exe",
                                       "sample.swf",  "ReadMe.txt", "Uninstall.exe"};
// Unpacking under a loaded Wine takes a while; NSIS's uninstaller runs as a
// copy of itself in the temp folder, so its end is seen by what it removed.
constexpr DWORD kSetupDeadlineMs = 120000;

bool KeyExists(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
}

bool ValueExists(HKEY root, const std::string& key, const char* name) {
    return ::RegGetValueA(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string StringValue(HKEY root, const std::string& key, const char* name) {
    char text[MAX_PATH * 2] = "";
    DWORD size = sizeof(text);
    if (::RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::string();
    return text;
}

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    return SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// Runs a program to its end; its exit code, or -1 if it did not start or end.
long RunToEnd(const std::string& exe, const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + exe + "\" " + arguments;
    if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(info.hProcess, kSetupDeadlineMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

class Setup : public testing::Test {
protected:
    void SetUp() override {
        const char* setup = std::getenv("PICTARO_SETUP");
        ASSERT_TRUE(setup && *setup) << "PICTARO_SETUP names no setup";
        m_setup = wintest::HostPath(setup);
        ASSERT_TRUE(wintest::FileExists(m_setup)) << m_setup << " is missing (build the target setup_under_test)";
        m_installDir = ShellFolder(CSIDL_PROGRAM_FILES) + "\\Pictaro";
        m_shortcut = ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Pictaro.lnk";
        m_swfDefaultBefore = StringValue(HKEY_CLASSES_ROOT, ".swf", nullptr);
        m_swfKeyBefore = KeyExists(HKEY_CLASSES_ROOT, ".swf");
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "Pictaro is installed already";
    }

    // A failed test must not leave the program installed for the next one.
    void TearDown() override {
        std::string uninstaller = m_installDir + "\\Uninstall.exe";
        if (!m_installDir.empty() && wintest::FileExists(uninstaller)) {
            RunToEnd(uninstaller, "/S");
            Removed();
        }
    }

    bool Removed() {
        return wintest::PollUntil(
            [this] {
                return !wintest::FileExists(m_installDir) && !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
            },
            kSetupDeadlineMs);
    }

    std::string Installed(const char* name) const { return m_installDir + "\\" + name; }

    std::string m_setup, m_installDir, m_shortcut, m_swfDefaultBefore;
    bool m_swfKeyBefore = false;
};

TEST_F(Setup, InstallsRunsAndUninstallsLeavingNothing) {
    ASSERT_EQ(0, RunToEnd(m_setup, "/S")) << m_setup;

    // Files, Start menu entry, and the entry of Add/Remove Programs.
    for (const char* name : kInstalledFiles) EXPECT_TRUE(wintest::FileExists(Installed(name))) << name;
    EXPECT_TRUE(wintest::FileExists(m_shortcut)) << m_shortcut;
    EXPECT_TRUE(SamePath(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"), m_installDir));
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Pictaro");
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + Installed("Uninstall.exe") + "\"");

    // .swf: Pictaro is offered in "Open with", and opens it where nothing
    // did before; a default of another program is kept.
    std::string command = "\"" + Installed("pictaro.exe") + "\" \"%1\"";
    EXPECT_TRUE(ValueExists(HKEY_CLASSES_ROOT, kOpenWith, kProgId));
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, kProgIdOpen, nullptr), command);
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, std::string(kApplicationKey) + "\\shell\\open\\command", nullptr),
              command);
    if (m_swfDefaultBefore.empty()) {
        EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ".swf", nullptr), kProgId);
        char exe[MAX_PATH] = "";
        DWORD length = MAX_PATH;
        ASSERT_EQ(S_OK, ::AssocQueryStringA(0, ASSOCSTR_EXECUTABLE, ".swf", "open", exe, &length));
        EXPECT_TRUE(SamePath(exe, Installed("pictaro.exe"))) << exe;
    } else {
        EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ".swf", nullptr), m_swfDefaultBefore);
    }

    // The installed program starts from Program Files and shows its window.
    {
        e2e::PictaroProcess pictaro;
        std::string error;
        ASSERT_TRUE(pictaro.Start(Installed("pictaro.exe"), &error)) << error;
        HWND main = pictaro.WaitForWindow("Pictaro", e2e::kStartDeadlineMs);
        ASSERT_NE(nullptr, main) << "the installed pictaro.exe shows no main window";
        pictaro.CloseEverything(main);
        EXPECT_TRUE(pictaro.WaitForExit());
    }

    ASSERT_EQ(0, RunToEnd(Installed("Uninstall.exe"), "/S"));
    ASSERT_TRUE(Removed()) << "the uninstaller left " << m_installDir << " or its Add/Remove Programs entry";
    EXPECT_FALSE(wintest::FileExists(m_shortcut));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProgId));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kApplicationKey));
    EXPECT_FALSE(ValueExists(HKEY_CLASSES_ROOT, kOpenWith, kProgId));
    EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, ".swf"), m_swfKeyBefore);
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ".swf", nullptr), m_swfDefaultBefore);
}

}  // namespace
