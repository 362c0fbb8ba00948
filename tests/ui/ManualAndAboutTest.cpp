// The usage manual with its links, Donate, the system menu and the About box of the running
// tarnwick.exe. This test executable stands in for the browsers the program starts: copied
// over Wine's "iexplore" and registered as the http and https handler, it writes down what
// it was asked to open (see WinTestMain.cpp). A copy planted beside the program, and
// libraries named as the system's, must never run.

#include "ui/ProgramTestSupport.h"
#include "ui/WebAddresses.h"

#include <richedit.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

using namespace wintest;

namespace {

const char kLaunchesVariable[] = "TARNWICK_TEST_LAUNCHES";

// Libraries the program loads, or the system loads for it, that are not known DLLs.
const char* const kPlantedLibraries[] = {"riched32", "riched20", "uxtheme"};

std::string Lowercase(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

// The full paths of the libraries and the executable that `process` holds, in lower case.
std::vector<std::string> LoadedModules(DWORD process) {
    std::vector<std::string> paths;
    const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process));
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more;
         more = Module32Next(snapshot.get(), &module)) {
        paths.push_back(Lowercase(module.szExePath));
    }
    return paths;
}

std::string ExpectedManual() {
    return std::string("Usage Manual:\r\n"
                       "Keypad 1: Left click\r\n"
                       "Keypad 2: Middle click\r\n"
                       "Keypad 3: Right click\r\n"
                       "Keypad 4,5,6,8: Moves mouse left, down, right, up.\r\n"
                       "HomePage: ") +
           HomePageAddress() + "\r\nMore Software: " + MoreSoftwareAddress() + "\r\n";
}

// A file of Wine's moved aside for the test, with `replacement` (if any) in its place; put
// back when the object goes. A copy saved by an earlier run that was cut short is kept.
class ReplacedFile {
public:
    ReplacedFile(std::string path, const std::string& replacement)
        : path_(std::move(path)), saved_(path_ + ".tarnwick-test-saved") {
        if (!MoveFileA(path_.c_str(), saved_.c_str())) {
            DeleteFileA(path_.c_str());
        }
        if (!replacement.empty()) {
            CopyFileA(replacement.c_str(), path_.c_str(), FALSE);
        }
    }
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;
    ~ReplacedFile() {
        DeleteFileA(path_.c_str());
        MoveFileA(saved_.c_str(), path_.c_str());
    }

private:
    std::string path_;
    std::string saved_;
};

// Where Wine's ShellExecute finds "iexplore": its App Paths entry, then the system folder.
std::vector<std::string> InternetExplorerPlaces() {
    std::vector<std::string> places;
    char appPath[MAX_PATH] = {};
    LONG size = sizeof appPath;
    if (RegQueryValueA(HKEY_LOCAL_MACHINE,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe",
                       appPath, &size) == ERROR_SUCCESS &&
        appPath[0]) {
        places.push_back(appPath);
    }
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    places.push_back(std::string(system) + "\\iexplore.exe");
    return places;
}

// Runs the program with this executable as its browsers. Each start the program makes is
// one line of the launches file: "iexplore <command line>" or "web <address>".
class ManualTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        launches_ = directory_ + "launches.txt";
        SetEnvironmentVariableA(kLaunchesVariable, launches_.c_str());
        // The copy named iexplore.exe must run as itself, not as Wine's built-in browser. Wine
        // takes WINEDLLOVERRIDES from the session, never from a parent's environment block,
        // so the registry says it.
        SetRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "iexplore.exe", "native");
        const std::string handler = "\"" + ThisExecutable() + "\" --record-launch \"%1\"";
        for (const char* scheme : {"http", "https"}) {
            SetRegistryString(HKEY_CLASSES_ROOT, std::string(scheme) + "\\shell\\open\\command", "",
                              handler);
        }
        for (const std::string& place : InternetExplorerPlaces()) {
            browsers_.push_back(std::make_unique<ReplacedFile>(
                place, WithInternetExplorer() ? ThisExecutable() : std::string()));
        }
        // Planted as a web page may drop them into a Downloads folder: beside the program,
        // which is also its current folder. Any library will do; Wine is told to look for
        // these beside the executable first, as Windows does.
        CopyFileA(ThisExecutable().c_str(), (directory_ + "iexplore.exe").c_str(), FALSE);
        const std::string library = DirectoryOf(ThisExecutable()) + "drag_icon_probe.dll";
        for (const char* name : kPlantedLibraries) {
            CopyFileA(library.c_str(), (directory_ + name + ".dll").c_str(), FALSE);
            SetRegistryString(HKEY_CURRENT_USER,
                              "Software\\Wine\\AppDefaults\\tarnwick.exe\\DllOverrides", name,
                              "native,builtin");
        }
    }

    void TearDown() override {
        ProgramTest::TearDown();
        browsers_.clear();
        settings_.clear();
    }

    virtual bool WithInternetExplorer() const { return true; }

    // Put back when the test ends.
    void SetRegistryString(HKEY root, const std::string& key, const std::string& name,
                           const std::string& value) {
        settings_.push_back(std::make_unique<ScopedRegistryValue>(root, key, name));
        settings_.back()->Set(value);
    }

    std::vector<std::string> Launches() const {
        std::vector<std::string> lines;
        std::string line;
        for (unsigned char byte : ReadBytes(launches_)) {
            if (byte == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(byte);
            }
        }
        return lines;
    }

    // Waits for `count` launches, then a little longer, so that one too many shows too.
    std::vector<std::string> LaunchesAfterWaitingFor(std::size_t count) const {
        PumpUntil([&] { return Launches().size() >= count; }, milliseconds(15000));
        PumpMessages(milliseconds(500));
        return Launches();
    }

    HWND Manual() const { return Item(IDC_MANUAL); }

    std::string ManualText() const {
        const auto length = SendMessageA(Manual(), WM_GETTEXTLENGTH, 0, 0);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            SendMessageA(Manual(), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
        return text;
    }

    CHARRANGE Selection() {
        RemoteMemory range(Program().Process(), sizeof(CHARRANGE));
        SendMessageA(Manual(), EM_EXGETSEL, 0, range.Put(CHARRANGE{}));
        return range.Get<CHARRANGE>();
    }

    // One character per character of the manual: 'L' where the control marks a link. Line
    // breaks show nothing, so they count as plain text whatever the control says of them.
    std::string LinkMarks() {
        RemoteMemory range(Program().Process(), sizeof(CHARRANGE));
        RemoteMemory format(Program().Process(), sizeof(CHARFORMATA));
        std::string marks;
        const std::string text = ManualText();
        const auto length = static_cast<LONG>(text.size());
        for (LONG index = 0; index < length; ++index) {
            SendMessageA(Manual(), EM_EXSETSEL, 0, range.Put(CHARRANGE{index, index + 1}));
            CHARFORMATA request{};
            request.cbSize = sizeof request;
            SendMessageA(Manual(), EM_GETCHARFORMAT, SCF_SELECTION, format.Put(request));
            const auto answer = format.Get<CHARFORMATA>();
            const bool lineBreak = text[static_cast<std::size_t>(index)] == '\r' ||
                                   text[static_cast<std::size_t>(index)] == '\n';
            marks += !lineBreak && (answer.dwMask & CFM_LINK) && (answer.dwEffects & CFE_LINK) ? 'L' : '.';
        }
        return marks;
    }

    // The expected marks: links exactly where `links` stand in `text`.
    static std::string MarksOf(const std::string& text, std::initializer_list<std::string> links) {
        std::string marks(text.size(), '.');
        for (const std::string& link : links) {
            const std::size_t at = text.find(link);
            if (at != std::string::npos) {
                marks.replace(at, link.size(), link.size(), 'L');
            }
        }
        return marks;
    }

    // Moves the pointer onto the manual's character `index` (rich-edit 1.0 form of
    // EM_POSFROMCHAR: the point's address in wParam).
    bool PointAtCharacter(LONG index) {
        RemoteMemory point(Program().Process(), sizeof(POINTL));
        SendMessageA(Manual(), EM_POSFROMCHAR, static_cast<WPARAM>(point.Put(POINTL{})), index);
        const POINTL at = point.Get<POINTL>();
        POINT screen{at.x + 3, at.y + 6};
        ClientToScreen(Manual(), &screen);
        return MovePointerTo(screen.x, screen.y);
    }

    void ClickCharacter(LONG index) {
        ASSERT_TRUE(PointAtCharacter(index));
        SendLeftButton(true);
        SendLeftButton(false);
    }

    LONG IndexOf(const std::string& piece) const {
        return static_cast<LONG>(ExpectedManual().find(piece));
    }

    std::string launches_;

private:
    std::vector<std::unique_ptr<ScopedRegistryValue>> settings_;
    std::vector<std::unique_ptr<ReplacedFile>> browsers_;
};

class ManualWithoutInternetExplorerTest : public ManualTest {
protected:
    bool WithInternetExplorer() const override { return false; }
};

TEST_F(ManualTest, ShowsSevenLinesWithOnlyTheTwoAddressesAsLinksAfterEveryShowAndHide) {
    StartAndWaitForDialog();
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::vector<std::string> modules = LoadedModules(Program().Id());
    for (const char* name : kPlantedLibraries) {
        const std::string library = std::string(name) + ".dll";
        EXPECT_EQ(std::count(modules.begin(), modules.end(), Lowercase(directory_ + library)), 0);
        EXPECT_EQ(std::count(modules.begin(), modules.end(), Lowercase(system + ("\\" + library))), 1);
    }
    const std::string expected = ExpectedManual();
    const std::string marks = MarksOf(expected, {HomePageAddress(), MoreSoftwareAddress()});
    EXPECT_EQ(ManualText(), expected);
    EXPECT_EQ(LinkMarks(), marks);

    for (int round = 0; round < 2; ++round) {
        ShowWindow(dialog_, SW_HIDE);
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog_); }));
        EXPECT_EQ(ManualText(), expected) << "hidden, round " << round;
        ShowWindow(dialog_, SW_SHOW);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog_) != FALSE; }));
        EXPECT_EQ(ManualText(), expected) << "shown again, round " << round;
        EXPECT_EQ(LinkMarks(), marks) << "shown again, round " << round;
    }
}

TEST_F(ManualTest, ReleasingTheButtonOnALinkOpensItInInternetExplorerAndDonateInTheWebHandler) {
    StartAndWaitForDialog();
    const std::string home = HomePageAddress();
    const LONG homeAt = IndexOf(home);

    ASSERT_TRUE(PointAtCharacter(homeAt + 2));
    SendLeftButton(true);
    EXPECT_TRUE(LaunchesAfterWaitingFor(0).empty()) << "a press alone opens nothing";
    SendLeftButton(false);
    EXPECT_EQ(LaunchesAfterWaitingFor(1), (std::vector<std::string>{"iexplore " + home}));
    const CHARRANGE selected = Selection();
    EXPECT_EQ(selected.cpMin, homeAt);
    EXPECT_EQ(selected.cpMax, homeAt + static_cast<LONG>(home.size())) << "the link stays selected";

    // Plain text opens nothing and takes no typing; the other link opens as the first did.
    ClickCharacter(IndexOf("Middle"));
    PressKey('X');
    PressKey(VK_BACK);
    ClickCharacter(IndexOf(MoreSoftwareAddress()));
    EXPECT_EQ(LaunchesAfterWaitingFor(2),
              (std::vector<std::string>{"iexplore " + home,
                                        std::string("iexplore ") + MoreSoftwareAddress()}));
    EXPECT_EQ(ManualText(), ExpectedManual());

    PostMessageA(Item(IDC_DONATE), BM_CLICK, 0, 0);
    EXPECT_EQ(LaunchesAfterWaitingFor(3).back(), "web " + DonationAddress());
}

// The button takes a quick double-click as two clicks.
TEST_F(ManualTest, ADoubleClickOnDonateOpensThePageTwice) {
    StartAndWaitForDialog();
    const POINT donate = CentreOf(Item(IDC_DONATE));
    ASSERT_TRUE(MovePointerTo(donate.x, donate.y));
    SendDoubleClick();
    EXPECT_EQ(LaunchesAfterWaitingFor(2), std::vector<std::string>(2, "web " + DonationAddress()));
}

// A link far longer than any fixed buffer of the program opens whole.
TEST_F(ManualTest, ALinkOfAThousandCharactersOpensWhole) {
    StartAndWaitForDialog();
    const std::string link = "www.example.com/" + std::string(1000, 'a');
    const std::string text = "Long: " + link + "\r\n";
    SendMessageA(Manual(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_EQ(LinkMarks(), MarksOf(text, {link}));

    ClickCharacter(8);
    EXPECT_EQ(LaunchesAfterWaitingFor(1), (std::vector<std::string>{"iexplore " + link}));
    EXPECT_TRUE(Program().Running());
    const CHARRANGE selected = Selection();
    EXPECT_EQ(selected.cpMax - selected.cpMin, static_cast<LONG>(link.size()));
}

TEST_F(ManualWithoutInternetExplorerTest, ALinkOpensInTheWebHandlerOverHttp) {
    StartAndWaitForDialog();
    ClickCharacter(IndexOf(HomePageAddress()));
    EXPECT_EQ(LaunchesAfterWaitingFor(1),
              (std::vector<std::string>{std::string("web http://") + HomePageAddress()}));

    PostMessageA(Item(IDC_DONATE), BM_CLICK, 0, 0);
    EXPECT_EQ(LaunchesAfterWaitingFor(2).back(), "web " + DonationAddress());
}

// The main dialog is moved clear of the desktop's edges, so that the wider About box can be
// centred over it.
class AboutBoxTest : public ProgramTest {
protected:
    void StartClearOfTheEdges() {
        StartAndWaitForDialog();
        SetWindowPos(dialog_, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

const char kAboutCaption[] = "About Tarnwick";

// The texts of the static controls of `window`, in order.
std::vector<std::string> StaticTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            texts.push_back(ControlText(child));
        }
    }
    return texts;
}

// The About box as it must look, with the main dialog disabled under it; closed with OK,
// which gives the main dialog back.
void ExpectAboutBoxThenCloseIt(RunningProgram& program, HWND dialog) {
    const HWND about = program.WaitForWindow(kAboutCaption);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the main dialog takes no input meanwhile";
    const POINT boxCentre = CentreOf(about);
    const POINT dialogCentre = CentreOf(dialog);
    EXPECT_LE(std::abs(boxCentre.x - dialogCentre.x), 1) << "centred over the main dialog";
    EXPECT_LE(std::abs(boxCentre.y - dialogCentre.y), 1) << "centred over the main dialog";
    EXPECT_EQ(StaticTexts(about), (std::vector<std::string>{"Tarnwick 1.3", "Copyright (C) 2026"}));
    EXPECT_NE(ShownIcon(about), nullptr);
    const HWND ok = GetDlgItem(about, IDOK);
    EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(ControlText(ok), "OK");

    PostMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(about); }));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
}

TEST_F(AboutBoxTest, SystemCommandsSixteenToThirtyOneOpenItAndOthersKeepTheirWork) {
    StartClearOfTheEdges();
    for (WPARAM command : {16u, 31u}) {
        SCOPED_TRACE(command);
        PostMessageA(dialog_, WM_SYSCOMMAND, command, 0);
        ExpectAboutBoxThenCloseIt(Program(), dialog_);
    }

    PostMessageA(dialog_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(dialog_) != FALSE; }));
    PostMessageA(dialog_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(dialog_); }));
    EXPECT_TRUE(Program().Running());
}

// Wine puts an "About Wine" entry of its own before ours in every system menu, and it takes
// the A key first; so the menu is walked to its last entry, and the A is read from the text.
TEST_F(AboutBoxTest, TheSystemMenuEndsWithTheKeypadSwitchesThenAboutTarnwickWithItsKeyA) {
    const HMODULE program = LoadLibraryExA((directory_ + "tarnwick.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    char text[64] = {};
    LoadStringA(program, IDS_ABOUTBOX, text, sizeof text);
    FreeLibrary(program);
    EXPECT_STREQ(text, "About Tarnwick(&A)...");

    StartClearOfTheEdges();
    // Now and then Wine drops an Alt+Space that arrives just after the activation; a user
    // would press it again, and so does the test.
    const auto openSystemMenu = [&] {
        ASSERT_TRUE(BringToFront(dialog_));
        bool opened = false;
        for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
            PressKey(VK_SPACE, {VK_MENU});
            opened = PumpUntil([&] { return Program().OpenMenu() != nullptr; }, milliseconds(2000));
        }
        ASSERT_TRUE(opened) << "Alt+Space opened no system menu";
    };
    // Two items above About switches the extended keypad, on and off again; only then is
    // its file written. The one just above About switches the letter keypad, whose line the
    // file has from then on.
    EXPECT_FALSE(FileExists(Widen(directory_ + "tarnwick.ini")));
    EXPECT_TRUE(HotKeyFree(0, VK_NUMPAD7));
    const std::tuple<int, bool, const char*, WORD> switches[] = {
        {2, true, "Extended=1\r\n", VK_NUMPAD7},
        {2, false, "Extended=0\r\n", VK_NUMPAD7},
        {1, true, "Extended=0\r\nLetters=1\r\n", 'U'},
        {1, false, "Extended=0\r\nLetters=0\r\n", 'U'},
    };
    for (const auto& [above, on, lines, key] : switches) {
        openSystemMenu();
        PressKey(VK_END);
        for (int up = 0; up < above; ++up) {
            PressKey(VK_UP);
        }
        PressKey(VK_RETURN);
        const std::string ini = std::string("[Keypad]\r\n") + lines;
        const Bytes file(ini.begin(), ini.end());
        EXPECT_TRUE(PumpUntil([&] { return ReadBytes(directory_ + "tarnwick.ini") == file; })) << ini;
        EXPECT_EQ(HotKeyFree(0, key), !on);
    }
    openSystemMenu();
    PressKey(VK_END);
    PressKey(VK_RETURN);
    ExpectAboutBoxThenCloseIt(Program(), dialog_);
}

// The program's own thread asks the dialog for its drag icon (DragIconProbe.cpp), since Wine
// delivers WM_QUERYDRAGICON from no other process.
TEST_F(AboutBoxTest, TheDragIconIsTheApplicationIcon) {
    StartClearOfTheEdges();
    const HMODULE probeLibrary =
        LoadLibraryA((DirectoryOf(ThisExecutable()) + "drag_icon_probe.dll").c_str());
    ASSERT_NE(probeLibrary, nullptr) << "drag_icon_probe.dll belongs beside the test";
    const auto hookProc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(probeLibrary, "DragIconProbe")));
    const HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, probeLibrary,
                                         GetWindowThreadProcessId(dialog_, nullptr));
    ASSERT_NE(hook, nullptr);

    const UINT probe = RegisterWindowMessageA("TarnwickDragIconProbe");
    PostMessageA(dialog_, probe, GetCurrentThreadId(), 0);
    // Not pumped: the answer is a message of this thread's own queue.
    MSG answer{};
    const bool answered =
        WaitUntil([&] { return PeekMessageA(&answer, nullptr, probe, probe, PM_REMOVE) != FALSE; });
    UnhookWindowsHookEx(hook);
    FreeLibrary(probeLibrary);
    ASSERT_TRUE(answered) << "the probe never ran in the program";
    EXPECT_EQ(answer.lParam, 1) << "no drag icon";
    EXPECT_EQ(answer.wParam, 1u) << "the drag icon is not the application icon";
}

}  // namespace
