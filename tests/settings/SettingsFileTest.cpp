#include "settings/SettingsFile.h"

#include "platform/FakeServices.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::wstring kDirectory = L"C:\\Tools\\Tarnwick\\";
const std::wstring kPath = kDirectory + L"para.dll";

class SettingsFileTest : public ::testing::Test {
protected:
    FakeFileSystem files;
};

TEST_F(SettingsFileTest, DefaultsAreWrittenFieldByFieldLittleEndian) {
    WriteSettingsFile(files, EmulatorSettings{});
    EXPECT_EQ(files.files[kPath], (Bytes{0x03, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SettingsFileTest, EveryFieldSurvivesARoundTrip) {
    EmulatorSettings written;
    written.speedIndex = -1;
    written.hotKeyVirtualKey = 0x4B;
    written.hotKeyModifiers = 0x06;
    written.runAtStartup = 1;
    written.minimizeAtStartup = 1;
    WriteSettingsFile(files, written);
    EXPECT_EQ(files.files[kPath],
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x4B, 0, 0x06, 0, 1, 0, 0, 0, 1, 0, 0, 0}));

    EmulatorSettings read;
    read.speedIndex = 0;
    ASSERT_TRUE(ReadSettingsFile(files, read));
    EXPECT_EQ(read.speedIndex, -1);
    EXPECT_EQ(read.hotKeyVirtualKey, 0x4B);
    EXPECT_EQ(read.hotKeyModifiers, 0x06);
    EXPECT_EQ(read.runAtStartup, 1);
    EXPECT_EQ(read.minimizeAtStartup, 1);
}

TEST_F(SettingsFileTest, AMissingFileLeavesTheRecordUntouched) {
    EmulatorSettings settings;
    settings.speedIndex = 0;
    EXPECT_FALSE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 0);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x78);
}

TEST_F(SettingsFileTest, AShortFileChangesOnlyTheFieldsItHoldsWhole) {
    EmulatorSettings settings;
    settings.speedIndex = 0;
    files.files[kPath] = {};
    ASSERT_TRUE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 0);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x78);

    files.files[kPath] = {5, 0, 0, 0};
    ASSERT_TRUE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 5);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x78);
    EXPECT_EQ(settings.hotKeyModifiers, 0);
    EXPECT_EQ(settings.runAtStartup, 0);
    EXPECT_EQ(settings.minimizeAtStartup, 0);

    // Seven bytes cut the modifiers in half: they keep their value rather than take one byte.
    settings.hotKeyModifiers = 0x0102;
    files.files[kPath] = {2, 0, 0, 0, 0x4B, 0, 0x06};
    ASSERT_TRUE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 2);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x4B);
    EXPECT_EQ(settings.hotKeyModifiers, 0x0102);
}

TEST_F(SettingsFileTest, BytesBeyondTheRecordAreIgnored) {
    files.files[kPath] = {8, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    EmulatorSettings settings;
    ASSERT_TRUE(ReadSettingsFile(files, settings));
    EXPECT_EQ(settings.speedIndex, 8);
    EXPECT_EQ(settings.minimizeAtStartup, 1);
    EXPECT_EQ(files.log, (std::vector<std::wstring>{L"read " + kPath}));
}

TEST_F(SettingsFileTest, ExecutableDirectoryKeepsItsTrailingBackslashWhateverItsLength) {
    EXPECT_EQ(ExecutableDirectory(files), kDirectory);

    const std::wstring deep = L"C:\\" + std::wstring(400, L'd') + L"\\";
    files.executablePath = deep + L"tarnwick.exe";
    EXPECT_EQ(ExecutableDirectory(files), deep);
}

TEST_F(SettingsFileTest, WithoutAnExecutablePathNothingIsReadOrWrittenAnywhere) {
    for (const std::wstring path : {L"", L"tarnwick.exe"}) {
        files.executablePath = path;
        EmulatorSettings settings;
        EXPECT_FALSE(ReadSettingsFile(files, settings));
        WriteSettingsFile(files, settings);
    }
    EXPECT_TRUE(files.log.empty());
    EXPECT_TRUE(files.files.empty());
}

TEST_F(SettingsFileTest, AWriteGoesThroughATemporaryFileBesideTheSettings) {
    WriteSettingsFile(files, EmulatorSettings{});
    EXPECT_EQ(files.log, (std::vector<std::wstring>{
                             L"write " + kPath + L".new",
                             L"replace " + kPath + L".new -> " + kPath,
                         }));
    EXPECT_EQ(files.files.size(), 1u);
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryBehind) {
    const Bytes old{5, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EmulatorSettings changed;
    changed.speedIndex = 7;

    files.files[kPath] = old;
    files.failWrites = true;
    WriteSettingsFile(files, changed);
    EXPECT_EQ(files.files[kPath], old);
    EXPECT_EQ(files.files.count(kPath + L".new"), 0u);

    files.failWrites = false;
    files.failReplace = true;
    WriteSettingsFile(files, changed);
    EXPECT_EQ(files.files[kPath], old);
    EXPECT_EQ(files.files.count(kPath + L".new"), 0u);
}

}  // namespace
