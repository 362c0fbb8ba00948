#include "settings/KeypadOptionFile.h"
#include "settings/SettingsFile.h"

#include "platform/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::wstring kDirectory = L"C:\\Tools\\Tarnwick\\";
const std::wstring kPath = kDirectory + L"para.dll";
const std::wstring kPerUserFolder = L"C:\\Users\\Anna\\AppData\\Local\\Tarnwick";
const std::wstring kPerUserPath = kPerUserFolder + L"\\para-47a9821a7ccd67f4.dll";

Bytes SpeedOnly(std::uint8_t speedIndex) {
    return {speedIndex, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

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
    ASSERT_EQ(ReadSettingsFile(files, read), ReadOutcome::Read);
    EXPECT_EQ(read.speedIndex, -1);
    EXPECT_EQ(read.hotKeyVirtualKey, 0x4B);
    EXPECT_EQ(read.hotKeyModifiers, 0x06);
    EXPECT_EQ(read.runAtStartup, 1);
    EXPECT_EQ(read.minimizeAtStartup, 1);
}

// Another program holding the file is no missing file: a read waits for it a bounded while and
// then leaves the record as it was; a save waits a shorter while, then goes to the per-user copy.
TEST_F(SettingsFileTest, AHeldFileIsWaitedForABoundedWhileAndNeverTakenForAMissingOne) {
    const struct {
        const char* what;
        int heldTries;  // -1: no file at all
        ReadOutcome outcome;
        std::int32_t speedIndex;
        std::size_t readPauses, savePauses;
        bool savedBeside;
    } table[] = {
        {"held for a while", 3, ReadOutcome::Read, 5, 3, 0, true},
        {"held just past the read's wait", 22, ReadOutcome::Held, 0, 20, 1, true},
        {"held for good", 1000, ReadOutcome::Held, 0, 20, 5, false},
        {"missing", -1, ReadOutcome::Missing, 0, 0, 0, true},
    };
    for (const auto& row : table) {
        FakeFileSystem fresh;
        if (row.heldTries >= 0) {
            fresh.files[kPath] = SpeedOnly(5);
            fresh.held[kPath] = row.heldTries;
        }
        EmulatorSettings settings;
        settings.speedIndex = 0;
        EXPECT_EQ(ReadSettingsFile(fresh, settings), row.outcome) << row.what;
        EXPECT_EQ(settings.speedIndex, row.speedIndex) << row.what;
        EXPECT_EQ(fresh.pauses, std::vector<unsigned>(row.readPauses, 100)) << row.what;
        const auto isRead = [](const std::wstring& entry) { return entry.rfind(L"read ", 0) == 0; };
        EXPECT_TRUE(std::all_of(fresh.log.begin(), fresh.log.end(), isRead)) << row.what << ": no write";

        fresh.pauses.clear();
        settings.speedIndex = 7;
        WriteSettingsFile(fresh, settings);
        EXPECT_EQ(fresh.pauses.size(), row.savePauses) << row.what;
        EXPECT_EQ(fresh.files[kPath], SpeedOnly(row.savedBeside ? 7 : 5)) << row.what;
        EXPECT_EQ(fresh.files.count(kPerUserPath), row.savedBeside ? 0u : 1u) << row.what;
    }

    // A held per-user copy is still the newest: the older file beside must not stand in for it.
    files.files[kPath] = SpeedOnly(5);
    files.held[kPerUserPath] = 1000;
    EmulatorSettings settings;
    EXPECT_EQ(ReadSettingsFile(files, settings), ReadOutcome::Held);
}

TEST_F(SettingsFileTest, AShortFileChangesOnlyTheFieldsItHoldsWhole) {
    EmulatorSettings settings;
    settings.speedIndex = 0;
    files.files[kPath] = {};
    ASSERT_EQ(ReadSettingsFile(files, settings), ReadOutcome::Read);
    EXPECT_EQ(settings.speedIndex, 0);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x78);

    files.files[kPath] = {5, 0, 0, 0};
    ASSERT_EQ(ReadSettingsFile(files, settings), ReadOutcome::Read);
    EXPECT_EQ(settings.speedIndex, 5);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x78);
    EXPECT_EQ(settings.hotKeyModifiers, 0);
    EXPECT_EQ(settings.runAtStartup, 0);
    EXPECT_EQ(settings.minimizeAtStartup, 0);

    // Seven bytes cut the modifiers in half: they keep their value rather than take one byte.
    settings.hotKeyModifiers = 0x0102;
    files.files[kPath] = {2, 0, 0, 0, 0x4B, 0, 0x06};
    ASSERT_EQ(ReadSettingsFile(files, settings), ReadOutcome::Read);
    EXPECT_EQ(settings.speedIndex, 2);
    EXPECT_EQ(settings.hotKeyVirtualKey, 0x4B);
    EXPECT_EQ(settings.hotKeyModifiers, 0x0102);
}

TEST_F(SettingsFileTest, BytesBeyondTheRecordAreIgnored) {
    files.files[kPath] = {8, 0, 0, 0, 0x78, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    EmulatorSettings settings;
    ASSERT_EQ(ReadSettingsFile(files, settings), ReadOutcome::Read);
    EXPECT_EQ(settings.speedIndex, 8);
    EXPECT_EQ(settings.minimizeAtStartup, 1);
    EXPECT_EQ(files.log, (std::vector<std::wstring>{L"read " + kPerUserPath, L"read " + kPath}));
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
        EXPECT_EQ(ReadSettingsFile(files, settings), ReadOutcome::Missing);
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
                             L"remove " + kPerUserPath,
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

// A lasting key: a change would lose every user's per-user copy.
TEST_F(SettingsFileTest, ThePerUserCopyIsKeyedByTheFolderWhateverTheCaseOfItsLetters) {
    EXPECT_EQ(PerUserSettingsPath(files), kPerUserPath);
    EXPECT_EQ(SettingsKey(L"C:\\Program Files\\Tarnwick\\"), L"77ab2fb717e0dd36");
    EXPECT_EQ(SettingsKey(L"c:\\tools\\TARNWICK\\"), SettingsKey(kDirectory));
    for (const std::wstring other : {L"C:\\Tools\\Tarnwick2\\", L"D:\\Tools\\Tarnwick\\",
                                     L"C:\\Tools\\\u0422\u0435\u0441\u0442\\"}) {
        EXPECT_NE(SettingsKey(other), SettingsKey(kDirectory));
    }

    files.executablePath = L"C:\\Tools\\Tarnwick2\\tarnwick.exe";
    EXPECT_NE(PerUserSettingsPath(files), kPerUserPath) << "two copies never share settings";
    files.localAppData.clear();
    EXPECT_EQ(PerUserSettingsPath(files), L"");
}

TEST_F(SettingsFileTest, AFolderThatCannotBeWrittenKeepsTheSettingsInThePerUserCopyUntilItCanAgain) {
    files.files[kPath] = SpeedOnly(5);
    files.refusedFolder = kDirectory;
    EmulatorSettings settings;
    settings.speedIndex = 7;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(files.files[kPath], SpeedOnly(5));
    EXPECT_EQ(files.files[kPerUserPath], SpeedOnly(7));
    EXPECT_EQ(files.files.size(), 2u) << "no temporary file left anywhere";
    EXPECT_NE(std::find(files.log.begin(), files.log.end(), L"mkdir " + kPerUserFolder), files.log.end());

    // The copy is newer than the file beside the executable, which is still there to read.
    EmulatorSettings read;
    ASSERT_EQ(ReadSettingsFile(files, read), ReadOutcome::Read);
    EXPECT_EQ(read.speedIndex, 7);

    files.refusedFolder.clear();
    settings.speedIndex = 2;
    WriteSettingsFile(files, settings);
    EXPECT_EQ(files.files[kPath], SpeedOnly(2));
    EXPECT_EQ(files.files.count(kPerUserPath), 0u) << "a save beside the executable removes the copy";
    ASSERT_EQ(ReadSettingsFile(files, read), ReadOutcome::Read);
    EXPECT_EQ(read.speedIndex, 2);

    // Without the user's folder there is no fallback, and still no error.
    files.localAppData.clear();
    files.refusedFolder = kDirectory;
    files.log.clear();
    WriteSettingsFile(files, settings);
    EXPECT_EQ(files.files.size(), 1u);
    EXPECT_EQ(files.log, (std::vector<std::wstring>{L"write " + kPath + L".new", L"remove " + kPath + L".new"}));
}

TEST(KeypadOptionTest, OnlyAOneInTheKeypadSectionTurnsAnOptionOn) {
    const std::tuple<const char*, bool, bool> table[] = {  // text, extended, letters
        {"[Keypad]\r\nExtended=1\r\n", true, false},
        {"\xEF\xBB\xBF; mine\n  [ keypad ] note\n\n  EXTENDED  =  1  ", true, false},
        {"[Other]\nExtended=0\n[KEYPAD]\r\nextended=1\nExtended=0", true, false},
        {"Extended=1\n[Other]\nExtended=1\n[Keypad]\nExtended=0\nExtended=1", false, false},
        {"", false, false},
        {"[Keypad]\n;Extended=1", false, false},
        {"[Keypad]\nExtended=10\nExtended=1", false, false},
        {"[Keypad]\nExtended=1 ; on", false, false},
        {"[Keypad\nExtended=1", false, false},
        {"[Keypad]\r\nExtended=0\r\nLetters=1\r\n", false, true},
        {"Letters=1\n[keypad]\n letters = 1\nLetters=0\nExtended=1", true, true},
        {"[Keypad]\nLetters=on\nLetters=1", false, false},
    };
    for (const auto& [text, extended, letters] : table) {
        const KeypadOptions options = ParseKeypadOptions(text);
        EXPECT_EQ(options.extended, extended) << text;
        EXPECT_EQ(options.letters, letters) << text;
    }
}

// The option file shares the settings file's places; only its names and its limit are its own.
// The Letters line is written only once that option has been switched.
TEST_F(SettingsFileTest, TheKeypadOptionsAreATextFileThatFollowsTheSettingsFile) {
    EXPECT_FALSE(ReadKeypadOptions(files).extended);
    WriteKeypadOptions(files, {true, false, false});
    std::string on = "[Keypad]\r\nExtended=1\r\n";
    EXPECT_EQ(files.files[kDirectory + L"tarnwick.ini"], Bytes(on.begin(), on.end()));
    EXPECT_TRUE(ReadKeypadOptions(files).extended);
    WriteKeypadOptions(files, {true, true, true});
    const std::string both = on + "Letters=1\r\n";
    EXPECT_EQ(files.files[kDirectory + L"tarnwick.ini"], Bytes(both.begin(), both.end()));
    EXPECT_TRUE(ReadKeypadOptions(files).lettersWritten);

    files.refusedFolder = kDirectory;
    WriteKeypadOptions(files, {});
    EXPECT_FALSE(ReadKeypadOptions(files).extended) << "the per-user copy is read first";
    const std::wstring copy = kPerUserFolder + L"\\tarnwick-47a9821a7ccd67f4.ini";
    ASSERT_EQ(files.files.count(copy), 1u);
    on += std::string(4096, ';');
    files.files[copy].assign(on.begin(), on.end());
    EXPECT_FALSE(ReadKeypadOptions(files).extended) << "more than 4 KiB is no file of ours";
}

}  // namespace
