#include "letters.h"

#include "driving.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr WORD kStartStop = VK_F9;  // as the driver sets it in Tarnwick's settings
constexpr int kTakings = 30;        // timed and seen, per copy
// A taking is seen within a few milliseconds; one not seen by then went without its last key.
constexpr double kTakingSeconds = 0.25;
// Ample for a taking, before an untimed switch on looks at the last key.
constexpr DWORD kTakingMs = 20;
constexpr int kProbe = 1;  // the driver's own registration, never kept
// With the letters taken every press also moves the badge, which makes it several times as
// dear as without them; fewer presses of U and keypad 4 than the rest of the run's keypad 4,
// in the same bursts, keep the rounds as short.
constexpr int kLetterPresses = 4000;
const char kBadgeClass[] = "TarnwickBadge";

// Places on the keyboard (scan codes): Tarnwick takes the letters by place, in the layout of
// the window that has the focus, the driver's.
constexpr UINT kPlaceU = 0x16;
constexpr UINT kPlaceP = 0x19;

// A combination as RegisterHotKey takes it.
struct Combination {
    UINT modifiers;
    UINT virtualKey;
};

// What the start/stop key switches in one copy of Tarnwick: the first key it takes and the
// last one.
struct Switch {
    Combination first;
    Combination last;
};

const Combination kKeypad1{0, VK_NUMPAD1};

WORD KeyAt(UINT place) {
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
    return static_cast<WORD>(MapVirtualKeyExA(place, MAPVK_VSC_TO_VK, layout));
}

// Whether another program holds `combination`: RegisterHotKey refuses one that is registered
// already. One it takes, for the driver's own thread, is given back at once. A look that
// coincides with Tarnwick's own registration of the key makes Tarnwick go without it until it
// next takes its keys.
bool Held(Combination combination) {
    if (RegisterHotKey(nullptr, kProbe, combination.modifiers, combination.virtualKey)) {
        UnregisterHotKey(nullptr, kProbe);
        return false;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_HOTKEY_ALREADY_REGISTERED) {
        throw std::runtime_error("RegisterHotKey fails with error " + std::to_string(error));
    }
    return true;
}

bool BadgeShown(const Target& target) {
    const HWND badge = ProcessWindow(target, kBadgeClass);
    return badge && IsWindowVisible(badge);
}

// Switches emulation off and waits until the first key and the last are free again.
void SwitchOff(const Program& program, const Switch& keys) {
    Press(kStartStop);
    if (!WaitFor([&] { return !Held(keys.first) && !Held(keys.last); }, 5)) {
        throw std::runtime_error(program.name + " does not give its keys back on the start/stop key");
    }
}

// Switches emulation on and waits until the last key is taken, looked at only once Tarnwick has
// had time to take it. A press that took no keys (a start/stop key that handed the letters
// back is held on to until Tarnwick hears of its release) or went without the last one is
// undone if need be and made again.
void SwitchOn(const Program& program, const Switch& keys) {
    for (int press = 0; press < 3; ++press) {
        Press(kStartStop);
        Sleep(kTakingMs);
        if (WaitFor([&] { return Held(keys.last); }, 1)) {
            return;
        }
        if (Held(keys.first)) {
            SwitchOff(program, keys);
        }
    }
    throw std::runtime_error(program.name + " does not take its keys on the start/stop key");
}

// From off, until kTakings are seen: the start/stop key, timed from SendInput until the last
// key is seen taken; then off again, awaited. One not seen in time is made again, and counted.
void MeasureTakings(const Program& program, const Switch& keys) {
    Progress(program.name + ": the start/stop key to the keys taken");
    std::vector<double> takings;
    int unseen = 0;
    WaitForQuiet();
    while (static_cast<int>(takings.size()) < kTakings && unseen < 2 * kTakings) {
        Sleep(20);
        const double sent = Now();
        Press(kStartStop);
        if (const std::optional<double> taken = Until([&] { return Held(keys.last); }, sent, kTakingSeconds)) {
            takings.push_back(*taken * 1e6);
        } else {
            ++unseen;
        }
        if (Held(keys.first)) {
            SwitchOff(program, keys);
        }
    }
    if (!takings.empty()) {
        Print(program, "take_median_us", Percentile(takings, 0.5));
        Print(program, "take_p99_us", Percentile(takings, 0.99));
    }
    Print(program, "take_seen", static_cast<double>(takings.size()));
    Print(program, "take_unseen", unseen);
}

void Toggle(const Program& program, const Switch& keys, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        SwitchOn(program, keys);
        SwitchOff(program, keys);
    }
}

// From off, after the timed takings, which have made whatever the first switches make.
void MeasureToggles(const Program& program, const Target& target, const Switch& keys, int rounds) {
    Progress(program.name + ": " + std::to_string(rounds) + " rounds of the start/stop key on and off");
    Sleep(1000);
    const Footprint start = target.Holdings();
    Toggle(program, keys, rounds / 2);
    Sleep(1000);
    const Footprint middle = target.Holdings();
    Toggle(program, keys, rounds - rounds / 2);
    Sleep(1000);
    const Footprint after = target.Holdings();
    Print(program, "toggle_rounds", rounds);
    PrintGrowth(program, after, start, "toggles");
    PrintGrowth(program, after, middle, "toggles_second_half");
}

// The badge keeps its place beside the pointer as the moves run left from home, on whichever
// side of the pointer has room; the band it and the pointer sweep must cross neither the
// driver's window nor Tarnwick's dialog, whose hover and repaint would count in the figures.
void CheckBadgeClear(const Program& program, const Target& target, const LetterStage& stage) {
    RECT badge{};
    RECT dialog{};
    RECT overlap{};
    const HWND window = ProcessWindow(target, kBadgeClass);
    if (!window || !GetWindowRect(window, &badge) || !GetWindowRect(target.Window(), &dialog)) {
        throw std::runtime_error(program.name + " shows no badge beside the pointer");
    }
    const POINT at = Pointer();
    const LONG reach = std::max(std::labs(badge.left - at.x), std::labs(badge.right - at.x));
    const RECT band{stage.track.left - reach, std::min(stage.track.top, badge.top), stage.track.right + reach,
                    std::max(stage.track.bottom, badge.bottom)};
    if (IntersectRect(&overlap, &band, &dialog) || IntersectRect(&overlap, &band, &stage.pad)) {
        throw std::runtime_error(program.name + "'s badge would cross a window beside the pointer's track");
    }
}

// A letter's series and its keypad key's, burst by burst in turn from home, which goes first
// turned about at each burst, and each burst's cost counted to its own key: whatever else the
// machine does meanwhile falls on both alike. Both series have as many presses.
void MeasureSideBySide(const Program& program, const Target& target, POINT home, const MoveSeries& letter,
                       const MoveSeries& keypad) {
    const MoveSeries* const series[] = {&letter, &keypad};
    Spent spent[2];
    int lost[2] = {};
    WaitForQuiet();
    for (int burst = 0; burst * letter.burst < letter.presses; ++burst) {
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (burst + turn) % 2;
            const Cost cost(target);
            lost[which] += PressBurst(home, *series[which]);
            spent[which] += cost.SoFar();
        }
    }
    for (int which = 0; which < 2; ++which) {
        PrintPer(program, series[which]->figure + std::string("_us"), spent[which], series[which]->presses, 1e6);
        Print(program, series[which]->figure + std::string("_lost"), lost[which]);
    }
}

// Idle with the letters taken and the badge up; then a U held down while the start/stop key
// hands the letters back, released, and idle again: the watch for its release must have
// stopped.
void MeasureLetterIdle(const Program& program, const Target& target, const Switch& keys, WORD u, POINT home,
                       int seconds) {
    Progress("idling " + program.name + " for " + std::to_string(seconds) +
             " s with the letters taken, then as long after a held U was released");
    PlacePointer(home);
    SwitchOn(program, keys);
    if (!WaitFor([&] { return BadgeShown(target); }, 5)) {
        throw std::runtime_error(program.name + " takes the letters without showing its badge");
    }
    MeasureIdle(program, target, seconds, "letters_idle_ms");
    Send({Key(u, false)});
    if (!WaitFor([&] { return Pointer().x == home.x - 1; }, 2)) {
        throw std::runtime_error(program.name + "'s U, held down, does not move the pointer");
    }
    Press(kStartStop);
    if (!WaitFor([&] { return !BadgeShown(target) && !Held(keys.first); }, 5)) {
        throw std::runtime_error(program.name + " does not hand the letters back while U is held down");
    }
    const Combination letter{0, u};
    const Combination fast{MOD_CONTROL, u};
    if (!Held(letter)) {
        throw std::runtime_error(program.name + " lets go of U while it is still down");
    }
    Send({Key(u, true)});
    if (!WaitFor([&] { return !Held(letter) && !Held(fast); }, 2)) {
        throw std::runtime_error(program.name + " holds on to U after its release");
    }
    MeasureIdle(program, target, seconds, "released_idle_ms");
}

}  // namespace

void MeasureKeypadTaking(const Program& program, const Target& target, int toggleRounds) {
    const Switch keys{kKeypad1, {0, VK_CLEAR}};
    if (!Held(kKeypad1)) {
        throw std::runtime_error(program.name + " does not start with its keypad taken");
    }
    SwitchOff(program, keys);
    MeasureTakings(program, keys);
    if (toggleRounds > 0) {
        MeasureToggles(program, target, keys, toggleRounds);
    }
}

void MeasureLetters(const Program& program, const Target& target, const LetterStage& stage, int rounds,
                    int toggleRounds, int idleSeconds) {
    Progress(program.name + ": the letter keypad");
    const WORD u = KeyAt(kPlaceU);
    const Switch keys{kKeypad1, {0, KeyAt(kPlaceP)}};
    if (Held(kKeypad1)) {
        throw std::runtime_error(program.name + " starts with emulation on");
    }
    // The first taking names any letter another program holds, in a message box; it is awaited
    // by its badge, which shows once every key is taken, so that no look of the driver's at a
    // key can coincide with its taking.
    PlacePointer(stage.home);
    Press(kStartStop);
    if (!WaitFor([&] { return BadgeShown(target); }, 5) || !Held(keys.last)) {
        throw std::runtime_error(program.name + " does not take the letters on the start/stop key");
    }
    const MoveSeries letter{"letter_move", {"U", u, false}, kMove.pixels, kLetterPresses, kMove.burst};
    const MoveSeries keypad{kMove.figure, kMove.key, kMove.pixels, kLetterPresses, kMove.burst};
    const MoveSeries fastLetter{"letter_ten_step_move", {"Ctrl+U", u, true}, kTenStepMove.pixels,
                                kTenStepMove.presses, kTenStepMove.burst};
    const std::pair<MoveSeries, MoveSeries> pairs[] = {{letter, keypad}, {fastLetter, kTenStepMove}};
    for (const auto& [first, second] : pairs) {
        CheckMove(program, stage.home, first);
        CheckMove(program, stage.home, second);
    }
    CheckBadgeClear(program, target, stage);
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [first, second] : pairs) {
            MeasureSideBySide(program, target, stage.home, first, second);
        }
    }
    SwitchOff(program, keys);
    MeasureTakings(program, keys);
    if (toggleRounds > 0) {
        MeasureToggles(program, target, keys, toggleRounds);
    }
    if (idleSeconds > 0) {
        MeasureLetterIdle(program, target, keys, u, stage.home, idleSeconds);
    }
}
