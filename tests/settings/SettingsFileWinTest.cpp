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

// The real file system, as seen by an executable living in `directory`.
class FilesBeside final : public FileSystem {
public:
    explicit FilesBeside(std::wstring directory) : directory_(std::move(directory)) {}
    std::wstring ExecutablePath() override { return directory_ + L"tarnwick.exe"; }
    std::optional<Bytes> ReadFile(const std::wstring& path, std::size_t maxBytes) override {
        return real_.ReadFile(path, maxBytes);
    }
    bool WriteFlushed(const std::wstring& path, const Bytes& bytes) override {
        return real_.WriteFlushed(path, bytes);
    }
    bool Replace(const std::wstring& source, const std::wstring& target) override {
        return real_.Replace(source, target);
    }
    void Remove(const std::wstring& path) override { real_.Remove(path); }

private:
    std::wstring directory_;
    Win32FileSystem real_;
};

class SettingsFileWinTest : public ::testing::Test {
protected:
    // Named in Cyrillic and Japanese, which no single code page holds both of.
    SettingsFileWinTest() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        directory = std::wstring(temp) + L"tarnwick \u0422\u0435\u0441\u0442 \u30C6\u30B9\u30C8 " +
                    std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(directory.c_str(), nullptr);
    }
    ~SettingsFileWinTest() override {
        DeleteFileW((directory + L"para.dll").c_str());
        DeleteFileW((directory + L"para.dll.new").c_str());
        RemoveDirectoryW(directory.c_str());
    }

    Bytes FileBytes(const std::wstring& name) const { return wintest::FileBytes(directory + name); }
    bool Exists(const std::wstring& name) const { return wintest::FileExists(directory + name); }

    std::wstring directory;
};

TEST_F(SettingsFileWinTest, TheFileHoldsExactlyTheSixteenBytesAndNothingIsLeftBeside) {
    FilesBeside files(directory);
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
    ASSERT_TRUE(ReadSettingsFile(files, read));
    EXPECT_EQ(read.speedIndex, -1);
    EXPECT_EQ(read.hotKeyModifiers, 0x0A);
}

// A directory standing where the new file should go makes the write fail half-way.
TEST_F(SettingsFileWinTest, AFailedWriteKeepsTheOldContent) {
    FilesBeside files(directory);
    WriteSettingsFile(files, EmulatorSettings{});
    const Bytes old = FileBytes(L"para.dll");
    ASSERT_TRUE(CreateDirectoryW((directory + L"para.dll.new").c_str(), nullptr));

    EmulatorSettings changed;
    changed.speedIndex = 8;
    WriteSettingsFile(files, changed);
    EXPECT_EQ(FileBytes(L"para.dll"), old);
    RemoveDirectoryW((directory + L"para.dll.new").c_str());
}

TEST_F(SettingsFileWinTest, AMissingDirectoryIsSilentAndCreatesNothingElsewhere) {
    FilesBeside files(directory + L"missing\\");
    WriteSettingsFile(files, EmulatorSettings{});
    EmulatorSettings settings;
    settings.speedIndex = 0;
    EXPECT_FALSE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 0);
    EXPECT_FALSE(Exists(L"missing"));
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
