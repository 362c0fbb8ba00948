// tarnwick.exe where users really put it: folders named outside the code page, and folders
// it cannot write.

#include "platform/Win32Services.h"
#include "settings/SettingsFile.h"
#include "ui/ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace wintest;

namespace {

// Cyrillic and Japanese: no single code page holds both, so only UTF-16 spells this folder.
const std::wstring kForeignName = L"\u0422\u0435\u0441\u0442 \u043F\u0430\u043F\u043A\u0430 \u30C6\u30B9\u30C8";

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Two names that the code page spells alike ("????.exe").
const std::wstring kForeignCopies[] = {L"\u0442\u0430\u0440\u043D.exe", L"\u0442\u0430\u0440\u043C.exe"};

// The settings of a first start with another speed index.
Bytes WithSpeed(unsigned char speedIndex) {
    Bytes settings = kFirstStartSettings;
    settings[0] = speedIndex;
    return settings;
}

class PlacementTest : public ::testing::Test {
protected:
    void TearDown() override {
        program_.reset();
        for (const std::wstring& folder : folders_) {
            DeleteFileW(PerUserCopy(folder).c_str());
            for (const std::wstring& name : {std::wstring(L"tarnwick.exe"), std::wstring(L"para.dll"),
                                             std::wstring(L"para.dll.new"), kForeignCopies[0], kForeignCopies[1]}) {
                DeleteFileW((folder + name).c_str());
            }
            RemoveDirectoryW((folder + L"para.dll.new").c_str());
            RemoveDirectoryW(folder.c_str());
        }
    }

    // A new folder `name` under the temporary folder holding a copy of the program; its path
    // with a trailing backslash.
    std::wstring FolderWithProgram(const std::wstring& name) {
        wchar_t temporary[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temporary);
        const std::wstring folder = temporary + name + L" " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        folders_.push_back(folder);
        const std::wstring program = Widen(DirectoryOf(ThisExecutable()) + "tarnwick.exe");
        EXPECT_TRUE(CopyFileW(program.c_str(), (folder + L"tarnwick.exe").c_str(), TRUE));
        return folder;
    }

    // Starts the copy in `folder`, ending the one started before, and waits for its dialog.
    HWND StartIn(const std::wstring& folder) {
        program_.reset();
        program_ = std::make_unique<RunningProgram>(folder + L"tarnwick.exe");
        return program_->WaitForDialog();
    }

    // Where the program keeps its settings for this user when `folder` refuses them.
    static std::wstring PerUserCopy(const std::wstring& folder) {
        return Win32FileSystem().LocalAppDataDirectory() + L"\\Tarnwick\\para-" + SettingsKey(folder) +
               L".dll";
    }

    static LRESULT SpeedSelection(HWND dialog) {
        return SendMessageA(GetDlgItem(dialog, IDC_SPEED), CB_GETCURSEL, 0, 0);
    }

    // As the list does when the user picks an entry: select, then tell the dialog.
    static void ChooseSpeed(HWND dialog, WPARAM index) {
        const HWND list = GetDlgItem(dialog, IDC_SPEED);
        SendMessageA(list, CB_SETCURSEL, index, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SPEED, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

private:
    std::vector<std::wstring> folders_;
    std::unique_ptr<RunningProgram> program_;
};

TEST_F(PlacementTest, AFolderNamedOutsideTheCodePageKeepsItsSettingsThroughAHeldStartAndItsStartWithWindows) {
    const std::wstring folder = FolderWithProgram(kForeignName);
    HWND dialog = StartIn(folder);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FileBytes(folder + L"para.dll"), kFirstStartSettings);
    ChooseSpeed(dialog, 5);
    EXPECT_EQ(FileBytes(folder + L"para.dll"), WithSpeed(5));

    // Another program holds the file unshared until the dialog shows, longer than the program
    // waits for it: that start shows the defaults and writes nothing anywhere.
    {
        const Handle held(CreateFileW((folder + L"para.dll").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        dialog = StartIn(folder);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SpeedSelection(dialog), 3);
    }
    EXPECT_EQ(FileBytes(folder + L"para.dll"), WithSpeed(5));
    EXPECT_FALSE(FileExists(PerUserCopy(folder)));

    dialog = StartIn(folder);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SpeedSelection(dialog), 5) << "read back at the next start";

    // The start with Windows names this very copy.
    const HWND runAtStartup = GetDlgItem(dialog, IDC_RUN_AT_STARTUP);
    SendMessageA(runAtStartup, BM_CLICK, 0, 0);
    wchar_t command[MAX_PATH + 2] = {};
    DWORD size = sizeof command;
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, L"tarnwick", RRF_RT_REG_SZ, nullptr, command, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(command, L"\"" + folder + L"tarnwick.exe\"");
    SendMessageA(runAtStartup, BM_CLICK, 0, 0);
}

// Each executable name is one program: a copy under another name outside the code page is not
// taken for a second start of the first, so it runs and finds the keys taken.
TEST_F(PlacementTest, CopiesNamedOutsideTheCodePageAreTwoPrograms) {
    const std::wstring folder = FolderWithProgram(kForeignName);
    for (const std::wstring& name : kForeignCopies) {
        ASSERT_TRUE(CopyFileW((folder + L"tarnwick.exe").c_str(), (folder + name).c_str(), TRUE));
    }
    RunningProgram first(folder + kForeignCopies[0]);
    ASSERT_NE(first.WaitForDialog(), nullptr);
    RunningProgram second(folder + kForeignCopies[1]);
    const MessageBoxSeen box = second.WaitForMessageBox(kTitle);
    EXPECT_EQ(box.text, kStartStopFailure) << "not \"The software is running.\"";
    ASSERT_TRUE(Dismiss(box));
    ASSERT_TRUE(Dismiss(second.WaitForMessageBox(kTitle)));
    EXPECT_NE(second.WaitForDialog(), nullptr);
}

// Wine runs as an administrator, so a folder standing where the new file would go makes
// the refusal that a standard user meets in Program Files.
TEST_F(PlacementTest, AFolderThatCannotBeWrittenKeepsTheSettingsAcrossARestart) {
    const std::wstring folder = FolderWithProgram(L"tarnwick read-only");
    const std::wstring perUser = PerUserCopy(folder);
    ASSERT_TRUE(WriteFileBytes(folder + L"para.dll", WithSpeed(5)));
    ASSERT_TRUE(CreateDirectoryW((folder + L"para.dll.new").c_str(), nullptr));
    HWND dialog = StartIn(folder);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SpeedSelection(dialog), 5);
    ChooseSpeed(dialog, 7);
    EXPECT_EQ(FileBytes(folder + L"para.dll"), WithSpeed(5));
    EXPECT_EQ(FileBytes(perUser), WithSpeed(7)) << "the choice went to the per-user copy";

    dialog = StartIn(folder);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SpeedSelection(dialog), 7) << "read back from the per-user copy";

    // Writable again: the next save lands beside the program and the copy goes.
    ASSERT_TRUE(RemoveDirectoryW((folder + L"para.dll.new").c_str()));
    ChooseSpeed(dialog, 2);
    EXPECT_EQ(FileBytes(folder + L"para.dll"), WithSpeed(2));
    EXPECT_FALSE(FileExists(perUser));
    dialog = StartIn(folder);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SpeedSelection(dialog), 2);
}

}  // namespace
