// The "Run On Windows Startup" box of tarnwick.exe against the real registry: the value it
// writes in the Run key, from a folder only UTF-16 can name, and the settings it saves.

#include "ui/ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace wintest;

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Greek and Chinese: no single code page holds both.
const std::wstring kFolderName = L"\u0391\u03C5\u03C4\u03CC\u03BC\u03B1\u03C4\u03BF \u81EA\u52A8";

struct RunValue {
    DWORD type;
    std::vector<BYTE> data;
};

// The value "tarnwick" of the Run key under `root` as stored, if there is one. Read raw:
// RegGetValueW would add a missing terminator.
std::optional<RunValue> ReadRunValue(HKEY root) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, kRunKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const RegistryKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), L"tarnwick", nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RunValue value{type, std::vector<BYTE>(size)};
    RegQueryValueExW(key.get(), L"tarnwick", nullptr, nullptr, value.data.data(), &size);
    value.data.resize(size);
    return value;
}

void DeleteRunValues() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegDeleteKeyValueW(root, kRunKey, L"tarnwick");
    }
}

// What a REG_SZ holding `text` looks like: UTF-16 with its terminating NUL.
std::vector<BYTE> StringWithNul(const std::wstring& text) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(wchar_t));
}

class RunAtStartupTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        DeleteRunValues();
    }

    void TearDown() override {
        program_.reset();
        if (!folder_.empty()) {
            for (const wchar_t* name : {L"tarnwick.exe", L"para.dll"}) {
                DeleteFileW((folder_ + name).c_str());
            }
            RemoveDirectoryW(folder_.c_str());
        }
        DeleteRunValues();
        ProgramTest::TearDown();
    }

    // Starts a copy of the program in a folder named outside the code page and waits for its
    // dialog; returns the copy's full path.
    std::wstring StartInForeignFolder() {
        folder_ = Widen(directory_) + kFolderName + L"\\";
        EXPECT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        const std::wstring program = folder_ + L"tarnwick.exe";
        EXPECT_TRUE(CopyFileW(Widen(directory_ + "tarnwick.exe").c_str(), program.c_str(), TRUE));
        program_ = std::make_unique<RunningProgram>(program);
        dialog_ = program_->WaitForDialog();
        return program;
    }

    Bytes SettingsThere() const { return FileBytes(folder_ + L"para.dll"); }

    void ClickRunAtStartup() { SendMessageA(Item(IDC_RUN_AT_STARTUP), BM_CLICK, 0, 0); }

    std::wstring folder_;
    std::unique_ptr<RunningProgram> program_;
};

Bytes WithRunAtStartup(unsigned char flag) {
    Bytes settings = kFirstStartSettings;
    settings[8] = flag;
    return settings;
}

TEST_F(RunAtStartupTest, TickingEntersTheQuotedPathAndClearingRemovesIt) {
    const std::wstring program = StartInForeignFolder();
    ASSERT_NE(dialog_, nullptr);

    ClickRunAtStartup();
    const std::optional<RunValue> entered = ReadRunValue(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(entered.has_value()) << "no value \"tarnwick\" in the machine's Run key";
    EXPECT_EQ(entered->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(entered->data, StringWithNul(L"\"" + program + L"\""));
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).has_value());
    EXPECT_EQ(SettingsThere(), WithRunAtStartup(1));

    ClickRunAtStartup();
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).has_value());
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).has_value());
    EXPECT_EQ(SettingsThere(), WithRunAtStartup(0));

    // Gone behind the program's back: clearing finds nothing to delete and still saves.
    ClickRunAtStartup();
    DeleteRunValues();
    ASSERT_TRUE(WriteFileBytes(folder_ + L"para.dll", {0x05}));
    ClickRunAtStartup();
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).has_value());
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).has_value());
    EXPECT_EQ(SettingsThere(), WithRunAtStartup(0));
}

TEST_F(RunAtStartupTest, AFlagSetAtStartTicksTheBoxAndLeavesTheRegistryAlone) {
    WriteSettings(WithRunAtStartup(1));
    StartAndWaitForDialog();

    EXPECT_EQ(SendMessageA(Item(IDC_RUN_AT_STARTUP), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).has_value());
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).has_value());
    EXPECT_EQ(Settings(), WithRunAtStartup(1));
}

}  // namespace
