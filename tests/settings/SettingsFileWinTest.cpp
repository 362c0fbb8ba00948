// The settings file on a real file system: exact bytes, the replace that keeps the old
// file whole, and the executable's directory however long its path.

#include "settings/SettingsFile.h"

#include "platform/ModulePath.h"
#include "platform/Win32Services.h"
#include "platform/WinTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The real file system, as seen by an executable living in `directory`.
class FilesBeside final : public FileSystem {
public:
    explicit FilesBeside(std::string directory) : directory_(std::move(directory)) {}
    std::string ExecutablePath() override { return directory_ + "tarnwick.exe"; }
    std::optional<Bytes> ReadFile(const std::string& path, std::size_t maxBytes) override {
        return real_.ReadFile(path, maxBytes);
    }
    bool WriteFlushed(const std::string& path, const Bytes& bytes) override {
        return real_.WriteFlushed(path, bytes);
    }
    bool Replace(const std::string& source, const std::string& target) override {
        return real_.Replace(source, target);
    }
    void Remove(const std::string& path) override { real_.Remove(path); }

private:
    std::string directory_;
    Win32FileSystem real_;
};

class SettingsFileWinTest : public ::testing::Test {
protected:
    SettingsFileWinTest() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        directory = std::string(temp) + "tarnwick-settings-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(directory.c_str(), nullptr);
    }
    ~SettingsFileWinTest() override {
        DeleteFileA((directory + "para.dll").c_str());
        DeleteFileA((directory + "para.dll.new").c_str());
        RemoveDirectoryA(directory.c_str());
    }

    Bytes FileBytes(const std::string& name) const {
        std::ifstream in(directory + name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const {
        return GetFileAttributesA((directory + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::string directory;
};

TEST_F(SettingsFileWinTest, TheFileHoldsExactlyTheSixteenBytesAndNothingIsLeftBeside) {
    FilesBeside files(directory);
    EmulatorSettings settings;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(FileBytes("para.dll"), (Bytes{3, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    settings.speedIndex = -1;
    settings.hotKeyVirtualKey = 0x2D;
    settings.hotKeyModifiers = 0x0A;
    settings.minimizeAtStartup = 1;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(FileBytes("para.dll"),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x2D, 0, 0x0A, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_FALSE(Exists("para.dll.new"));

    EmulatorSettings read;
    ASSERT_TRUE(ReadSettingsFile(files, read));
    EXPECT_EQ(read.speedIndex, -1);
    EXPECT_EQ(read.hotKeyModifiers, 0x0A);
}

// A directory standing where the new file should go makes the write fail half-way.
TEST_F(SettingsFileWinTest, AFailedWriteKeepsTheOldContent) {
    FilesBeside files(directory);
    WriteSettingsFile(files, EmulatorSettings{});
    const Bytes old = FileBytes("para.dll");
    ASSERT_TRUE(CreateDirectoryA((directory + "para.dll.new").c_str(), nullptr));

    EmulatorSettings changed;
    changed.speedIndex = 8;
    WriteSettingsFile(files, changed);
    EXPECT_EQ(FileBytes("para.dll"), old);
    RemoveDirectoryA((directory + "para.dll.new").c_str());
}

TEST_F(SettingsFileWinTest, AMissingDirectoryIsSilentAndCreatesNothingElsewhere) {
    FilesBeside files(directory + "missing\\");
    WriteSettingsFile(files, EmulatorSettings{});
    EmulatorSettings settings;
    settings.speedIndex = 0;
    EXPECT_FALSE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 0);
    EXPECT_FALSE(Exists("missing"));
}

// Wine cannot start a program from a path longer than MAX_PATH, so the growth that
// such a path needs is driven from a buffer far smaller than this executable's path.
TEST_F(SettingsFileWinTest, APathLongerThanTheFirstBufferIsReadWhole) {
    char expected[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, expected, MAX_PATH), 16u);
    EXPECT_EQ(ExecutableFullPath(8), expected);
    EXPECT_EQ(ExecutableFullPath(), expected);
}

}  // namespace
