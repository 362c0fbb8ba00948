// The settings file on a real file system: exact bytes, the replace that keeps the old
// file whole, a directory named outside the code page, and the executable's directory
// however long its path.

#include "settings/SettingsFile.h"

#include "platform/ModulePath.h"
#include "platform/Win32Services.h"
#include "platform/WinTestSupport.h"

#include <gtest/gtest.h>


namespace {

using Bytes = std::vector<std::uint8_t>;

// The real file system, as seen by an executable living in `directory` and run by a user
// whose local application data is `localData`.
class FilesBeside final : public FileSystem {
public:
    FilesBeside(std::wstring directory, std::wstring localData)
        : directory_(std::move(directory)), localData_(std::move(localData)) {}
    std::wstring ExecutablePath() override { return directory_ + L"tarnwick.exe"; }
    FileRead ReadFile(const std::wstring& path, std::size_t maxBytes) override {
        return real_.ReadFile(path, maxBytes);
    }
    bool WriteFlushed(const std::wstring& path, const Bytes& bytes) override {
        return real_.WriteFlushed(path, bytes);
    }
    ChangeOutcome Replace(const std::wstring& source, const std::wstring& target) override {
        return real_.Replace(source, target);
    }
    ChangeOutcome Remove(const std::wstring& path) override { return real_.Remove(path); }
    std::wstring LocalAppDataDirectory() override { return localData_; }
    void MakeDirectory(const std::wstring& path) override { real_.MakeDirectory(path); }
    void Pause(unsigned milliseconds) override { real_.Pause(milliseconds); }

private:
    std::wstring directory_;
    std::wstring localData_;
    Win32FileSystem real_;
};

class SettingsFileWinTest : public ::testing::Test {
protected:
    SettingsFileWinTest() {
        CreateDirectoryW(directory.c_str(), nullptr);
        CreateDirectoryW(localData.c_str(), nullptr);
    }
    ~SettingsFileWinTest() override {
        const std::wstring perUser = PerUserSettingsPath(files);
        for (const std::wstring& file : {directory + L"para.dll", directory + L"para.dll.new", perUser,
                                         perUser + L".new"}) {
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW((localData + L"\\Tarnwick").c_str());
        RemoveDirectoryW(localData.c_str());
        RemoveDirectoryW(directory.c_str());
    }

    Bytes FileBytes(const std::wstring& name) const { return wintest::FileBytes(directory + name); }
    bool Exists(const std::wstring& name) const { return wintest::FileExists(directory + name); }

    // Named in Cyrillic and Japanese, which no single code page holds both of.
    static std::wstring NewDirectory() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"tarnwick \u0422\u0435\u0441\u0442 \u30C6\u30B9\u30C8 " +
               std::to_wstring(GetCurrentProcessId()) + L"\\";
    }

    const std::wstring directory = NewDirectory();
    const std::wstring localData = directory + L"local";
    FilesBeside files{directory, localData};
};

TEST_F(SettingsFileWinTest, TheFileHoldsExactlyTheSixteenBytesAndNothingIsLeftBeside) {
    EmulatorSettings settings;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(FileBytes(L"para.dll"), (Bytes{3, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    settings.speedIndex = -1;
    settings.hotKeyVirtualKey = 0x2D;
    settings.hotKeyModifiers = 0x0A;
    settings.minimizeAtStartup = 1;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(FileBytes(L"para.dll"),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x2D, 0, 0x0A, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_FALSE(Exists(L"para.dll.new"));

    EmulatorSettings read;
    ASSERT_EQ(ReadSettingsFile(files, read), ReadOutcome::Read);
    EXPECT_EQ(read.speedIndex, -1);
    EXPECT_EQ(read.hotKeyModifiers, 0x0A);
}

// A directory standing where the new file should go makes the write fail half-way.
TEST_F(SettingsFileWinTest, AFailedWriteKeepsTheOldContent) {
    WriteSettingsFile(files, EmulatorSettings{});
    const Bytes old = FileBytes(L"para.dll");
    ASSERT_TRUE(CreateDirectoryW((directory + L"para.dll.new").c_str(), nullptr));

    EmulatorSettings changed;
    changed.speedIndex = 8;
    WriteSettingsFile(files, changed);
    EXPECT_EQ(FileBytes(L"para.dll"), old);
    RemoveDirectoryW((directory + L"para.dll.new").c_str());
}

// Wine runs the tests with every right, so the refusal comes from a folder standing where the
// new file would go, and from a folder that does not exist.
TEST_F(SettingsFileWinTest, WhereTheFileCannotBeWrittenThePerUserCopyKeepsTheSettings) {
    EmulatorSettings settings;
    settings.speedIndex = 5;
    WriteSettingsFile(files, settings);
    ASSERT_TRUE(CreateDirectoryW((directory + L"para.dll.new").c_str(), nullptr));

    settings.speedIndex = 7;
    WriteSettingsFile(files, settings);
    const std::wstring perUser = PerUserSettingsPath(files);
    EXPECT_EQ(FileBytes(L"para.dll"), (Bytes{5, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(wintest::FileBytes(perUser), (Bytes{7, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EmulatorSettings read;
    ASSERT_EQ(ReadSettingsFile(files, read), ReadOutcome::Read);
    EXPECT_EQ(read.speedIndex, 7);

    ASSERT_TRUE(RemoveDirectoryW((directory + L"para.dll.new").c_str()));
    settings.speedIndex = 2;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(FileBytes(L"para.dll"), (Bytes{2, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(wintest::FileExists(perUser));
    EXPECT_FALSE(Exists(L"para.dll.new"));

    EXPECT_EQ(Win32FileSystem().ReadFile(localData, 16).outcome, ReadOutcome::Held) << "a folder: access denied";

    FilesBeside nowhere(directory + L"missing\\", localData);
    WriteSettingsFile(nowhere, settings);
    ASSERT_EQ(ReadSettingsFile(nowhere, read), ReadOutcome::Read);
    EXPECT_EQ(read.speedIndex, 2);
    EXPECT_FALSE(Exists(L"missing"));
    const std::wstring nowherePerUser = PerUserSettingsPath(nowhere);
    EXPECT_NE(nowherePerUser, perUser);
    EXPECT_TRUE(wintest::FileExists(nowherePerUser));
    DeleteFileW(nowherePerUser.c_str());
}

// Wine cannot start a program from a path longer than MAX_PATH, so the growth that
// such a path needs is driven from a buffer far smaller than this executable's path.
TEST_F(SettingsFileWinTest, APathLongerThanTheFirstBufferIsReadWhole) {
    wchar_t expected[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, expected, MAX_PATH), 16u);
    EXPECT_EQ(ExecutableFullPath(8), expected);
    EXPECT_EQ(ExecutableFullPath(), expected);
}

}  // namespace
