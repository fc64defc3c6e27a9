// The setup under Wine, in a prefix made fresh for these tests (setup_under_wine.sh), in the
// order a family meets it: a silent install, Spurlese started as its Start menu entry starts it,
// a folder under "Program Files" refused, an update over an older version, and the uninstall.
// The tests run in the order they are written; each goes on from what the one before left.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "tests/win32/raw_files.h"

namespace {

std::wstring Env(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder + L"\\";
}

const std::wstring& Installed() {
    static const std::wstring folder = KnownFolder(FOLDERID_LocalAppData) + L"Programs\\Spurlese\\";
    return folder;
}

const wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Spurlese";

// Runs the command line and gives its exit code, -1 when it did not start or end in a minute.
DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& folder = L"") {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return static_cast<DWORD>(-1);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

bool WaitFor(const std::function<bool()>& condition) {
    for (int k = 0; k < 600; ++k) {
        if (condition()) return true;
        Sleep(100);
    }
    return false;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using spurlese::rawfiles::FileBytes;
using spurlese::rawfiles::PutFile;

// A value of the uninstall key as text ("<none>" without one).
std::wstring Uninstall(const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text), type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD,
                     &type, text, &size) != ERROR_SUCCESS)
        return L"<none>";
    if (type != REG_DWORD) return text;
    DWORD number = 0;
    memcpy(&number, text, sizeof(number));
    return std::to_wstring(number);
}

// A shortcut's target and working folder, read as Explorer reads them.
struct Shortcut {
    std::wstring target, folder;
};
Shortcut ReadShortcut(const std::wstring& path) {
    Shortcut shortcut;
    IShellLinkW* link = nullptr;
    if (FAILED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))))
        return shortcut;
    IPersistFile* file = nullptr;
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) shortcut.target = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) shortcut.folder = text;
    }
    if (file) file->Release();
    link->Release();
    return shortcut;
}

std::wstring StartMenuEntry() {
    return KnownFolder(FOLDERID_Programs) + L"Spurlese.lnk";
}

class SetupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void SetUp() override {
        if (Env(L"SPURLESE_SETUP_NEW").empty())
            GTEST_SKIP() << "run by setup_under_wine.sh, with the setups built";
    }
    static std::wstring Setup(const wchar_t* which) { return L"\"" + Env(which) + L"\""; }
};

TEST_F(SetupTest, ASilentInstallGivesAStartMenuEntryAndAnAppsEntry) {
    ASSERT_EQ(0u, RunAndWait(Setup(L"SPURLESE_SETUP_NEW") + L" /S"));
    for (const wchar_t* file : {L"Spurlese.exe", L"strings64.exe", L"spurlese_strings.exe",
                                L"Spurlese.chm", L"README.txt", L"LICENSE.txt", L"Uninstall.exe"})
        EXPECT_TRUE(Exists(Installed() + file)) << file;
    EXPECT_EQ(FileBytes(Installed() + L"spurlese_strings.exe"),
              FileBytes(Installed() + L"strings64.exe"));
    const Shortcut entry = ReadShortcut(StartMenuEntry());
    EXPECT_EQ(0, lstrcmpiW((Installed() + L"Spurlese.exe").c_str(), entry.target.c_str()))
        << entry.target.size();
    EXPECT_EQ(
        0, lstrcmpiW(Installed().substr(0, Installed().size() - 1).c_str(), entry.folder.c_str()));
    EXPECT_FALSE(Exists(KnownFolder(FOLDERID_Desktop) + L"Spurlese.lnk")) << "only if asked";
    const std::wstring folder = Installed().substr(0, Installed().size() - 1);
    const struct {
        const wchar_t* name;
        std::wstring value;
    } values[] = {
        {L"DisplayName", L"Spurlese"},
        {L"DisplayVersion", Env(L"SPURLESE_SETUP_VERSION")},
        {L"Publisher", L"Spurlese"},
        {L"DisplayIcon", Installed() + L"Spurlese.exe,0"},
        {L"InstallLocation", folder},
        {L"UninstallString", L"\"" + Installed() + L"Uninstall.exe\""},
        {L"QuietUninstallString", L"\"" + Installed() + L"Uninstall.exe\" /S"},
        {L"NoModify", L"1"},
    };
    for (const auto& value : values)
        EXPECT_EQ(0, lstrcmpiW(value.value.c_str(), Uninstall(value.name).c_str())) << value.name;
    EXPECT_GT(_wtoi(Uninstall(L"EstimatedSize").c_str()), 100) << "in KB";
}

// Started as the Start menu entry starts it, Spurlese finds its extractor and opens its window;
// a setup run meanwhile asks to close it first (silently: ends with exit code 2).
TEST_F(SetupTest, StartedAsItsShortcutStartsItSpurlesePassesItsChecks) {
    const Shortcut entry = ReadShortcut(StartMenuEntry());
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    std::wstring line = L"\"" + entry.target + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               entry.folder.c_str(), &startup, &process));
    HWND main = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        main = FindWindowW(L"SpurleseMainWindow", L"Spurlese");
        return main != nullptr || FindWindowW(nullptr, L"Fataler Fehler") != nullptr;
    }));
    EXPECT_EQ(nullptr, FindWindowW(nullptr, L"Fataler Fehler"));
    EXPECT_NE(nullptr, main);
    EXPECT_EQ(2u, RunAndWait(Setup(L"SPURLESE_SETUP_NEW") + L" /S")) << "Spurlese still runs";
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 20000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(0u, code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST_F(SetupTest, AFolderUnderProgramFilesIsRefused) {
    const std::wstring folder = KnownFolder(FOLDERID_ProgramFiles) + L"Spurlese";
    EXPECT_EQ(2u, RunAndWait(Setup(L"SPURLESE_SETUP_NEW") + L" /S /D=" + folder));
    EXPECT_FALSE(Exists(folder + L"\\Spurlese.exe"));
}

// Over an older version: the settings and a strings64.exe the user put there (Sysinternals' own)
// stay byte for byte; the version is the new one.
TEST_F(SetupTest, AnUpdateKeepsTheSettingsAndTheUsersExtractor) {
    ASSERT_EQ(0u, RunAndWait(Setup(L"SPURLESE_SETUP_OLD") + L" /S"));
    ASSERT_EQ(L"0.0.1", Uninstall(L"DisplayVersion"));
    const std::string settings = "[General]\r\nMainWindowPosition=10,20,800,600\r\n";
    const std::string theirs = "MZ Sysinternals Strings, signed by Microsoft";
    PutFile(Installed() + L"Spurlese.ini", settings);
    PutFile(Installed() + L"strings64.exe", theirs);
    ASSERT_EQ(0u, RunAndWait(Setup(L"SPURLESE_SETUP_NEW") + L" /S"));
    EXPECT_EQ(settings, FileBytes(Installed() + L"Spurlese.ini"));
    EXPECT_EQ(theirs, FileBytes(Installed() + L"strings64.exe"));
    EXPECT_EQ(Env(L"SPURLESE_SETUP_VERSION"), Uninstall(L"DisplayVersion"));
}

// The uninstall removes what the setup installed, its shortcut and key, and nothing of the
// user's: their strings64.exe, their settings (kept unless they agree), a file of their own.
TEST_F(SetupTest, ASilentUninstallLeavesOnlyWhatTheUserPutThere) {
    PutFile(Installed() + L"Meine Notizen \u2013 Fotos.txt", "meins");
    // The uninstaller runs on as a copy of itself, so that it can remove itself: waited for by
    // what it leaves.
    ASSERT_EQ(0u, RunAndWait(L"\"" + Installed() + L"Uninstall.exe\" /S"));
    EXPECT_TRUE(WaitFor([] {
        return !Exists(Installed() + L"Uninstall.exe") && Uninstall(L"DisplayName") == L"<none>";
    }));
    for (const wchar_t* file : {L"Spurlese.exe", L"spurlese_strings.exe", L"Spurlese.chm",
                                L"README.txt", L"LICENSE.txt", L"Uninstall.exe"})
        EXPECT_FALSE(Exists(Installed() + file)) << file;
    EXPECT_FALSE(Exists(StartMenuEntry()));
    EXPECT_EQ("meins", FileBytes(Installed() + L"Meine Notizen \u2013 Fotos.txt"));
    EXPECT_TRUE(Exists(Installed() + L"strings64.exe")) << "the user's own";
    EXPECT_TRUE(Exists(Installed() + L"Spurlese.ini")) << "kept unless the user agrees";
}

// With nothing of the user's in it, the folder goes too, and the extractor the setup put there.
TEST_F(SetupTest, WithNothingOfTheUsersTheFolderGoesWhole) {
    for (const wchar_t* file :
         {L"Meine Notizen \u2013 Fotos.txt", L"strings64.exe", L"Spurlese.ini"})
        DeleteFileW((Installed() + file).c_str());
    ASSERT_EQ(0u, RunAndWait(Setup(L"SPURLESE_SETUP_NEW") + L" /S"));
    ASSERT_TRUE(Exists(Installed() + L"strings64.exe"));
    ASSERT_EQ(0u, RunAndWait(L"\"" + Installed() + L"Uninstall.exe\" /S"));
    EXPECT_TRUE(WaitFor([] { return !Exists(Installed()); })) << "strings64.exe left?";
}

}  // namespace
