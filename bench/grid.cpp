#include "grid.h"

#include "driving.h"
#include "emulation/KeypadGrid.h"
#include "emulation/LoupeLayout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---- Reach: keys to a target, counted from the arithmetic alone ----

constexpr int kSquare = 16;         // the side of the small target
constexpr int kStep = 10;           // pixels per keypad press at the default speed (index 3)
constexpr int kTenSteps = 10 * kStep;  // per Ctrl+keypad press
constexpr int kSamples = 10000;     // random start and target pairs for the step moves
constexpr unsigned kSeed = 23;      // fixed, so every run draws the same pairs

struct Size {
    int width;
    int height;
};

constexpr Size kScreens[] = {{1920, 1080}, {3840, 2160}};

bool Inside(ScreenPoint point, const ScreenArea& area) {
    return point.x >= area.left && point.x < area.left + area.width && point.y >= area.top &&
           point.y < area.top + area.height;
}

bool Overlap(const ScreenArea& a, const ScreenArea& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The digit whose cell of `region` holds (x, y): its column by the top row's cells, its row
// by the left column's.
int DigitHolding(const ScreenArea& region, int x, int y) {
    int column = 0;
    while (column < 2 && x >= GridCell(region, 7 + column).left + GridCell(region, 7 + column).width) {
        ++column;
    }
    int row = 0;  // from the top
    while (row < 2 && y >= GridCell(region, 7 - 3 * row).top + GridCell(region, 7 - 3 * row).height) {
        ++row;
    }
    return 7 - 3 * row + column;
}

// Digits until the pointer stands on (x, y): each picks the cell that holds it, the only
// cell whose centre, or any of its cells' centres, can be the pixel.
int DigitsToPixel(const ScreenArea& monitor, int x, int y) {
    KeypadGrid grid;
    grid.Open(monitor, {0, 0});
    for (int digits = 1;; ++digits) {
        const ScreenPoint pointer = grid.Pick(DigitHolding(grid.Region(), x, y));
        if (pointer.x == x && pointer.y == y) {
            return digits;
        }
        if (grid.Narrowest()) {
            throw std::runtime_error("the grid narrowed to a pixel that is not its target");
        }
    }
}

// The fewest digits that put the pointer on `square`, level by level through the cells that
// overlap it: no other cell has a centre inside it, nor cells that do.
int DigitsToSquare(const ScreenArea& monitor, const ScreenArea& square) {
    static std::vector<ScreenArea> level;
    static std::vector<ScreenArea> next;
    level.assign(1, monitor);
    for (int digits = 1; digits < 64; ++digits) {
        next.clear();
        for (const ScreenArea& region : level) {
            for (int digit = 1; digit <= 9; ++digit) {
                const ScreenArea cell = GridCell(region, digit);
                if (Inside(GridCentre(cell), square)) {
                    return digits;
                }
                if (Overlap(cell, square)) {
                    next.push_back(cell);
                }
            }
        }
        level.swap(next);
    }
    throw std::runtime_error("the grid never reaches a square");
}

// The fewest presses from `from` to each place on an axis of `length` pixels, each press
// moving by one of `moves` either way and stopped at the edges, as Tarnwick stops the
// pointer; -1 where none arrives.
std::vector<int> AxisPresses(int length, int from, const std::vector<int>& moves) {
    std::vector<int> presses(static_cast<std::size_t>(length), -1);
    std::vector<int> queue{from};
    presses[static_cast<std::size_t>(from)] = 0;
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const int at = queue[next];
        for (const int move : moves) {
            for (const int to : {std::max(0, at - move), std::min(length - 1, at + move)}) {
                if (presses[static_cast<std::size_t>(to)] < 0) {
                    presses[static_cast<std::size_t>(to)] = presses[static_cast<std::size_t>(at)] + 1;
                    queue.push_back(to);
                }
            }
        }
    }
    return presses;
}

// The fewest presses onto any of `span` places from `start`; -1 when none is reachable.
int SpanPresses(const std::vector<int>& presses, int start, int span) {
    int fewest = -1;
    for (int at = start; at < start + span; ++at) {
        const int count = presses[static_cast<std::size_t>(at)];
        if (count >= 0 && (fewest < 0 || count < fewest)) {
            fewest = count;
        }
    }
    return fewest;
}

// Keys to targets: the largest count, the mean, and the share of targets never reached.
class Tally {
public:
    void Add(int keys) {
        if (keys < 0) {
            ++unreachable_;
            return;
        }
        most_ = std::max(most_, keys);
        sum_ += keys;
        ++reached_;
    }

    void Print(const std::string& figure) const {
        ::Print("driver", figure + "_max", reached_ > 0 ? most_ : -1);
        ::Print("driver", figure + "_mean", reached_ > 0 ? sum_ / reached_ : -1);
        ::Print("driver", figure + "_unreachable", unreachable_ / (reached_ + unreachable_));
    }

private:
    int most_ = 0;
    double sum_ = 0;
    double reached_ = 0;
    double unreachable_ = 0;
};

// Keypad * and then the digits, for every pixel and for a square at every place.
void GridReach(const Size& size, const std::string& prefix) {
    const ScreenArea monitor{0, 0, size.width, size.height};
    Tally pixel;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            pixel.Add(1 + DigitsToPixel(monitor, x, y));
        }
    }
    pixel.Print(prefix + "grid_pixel");
    Tally square;
    for (int y = 0; y + kSquare <= size.height; ++y) {
        for (int x = 0; x + kSquare <= size.width; ++x) {
            square.Add(1 + DigitsToSquare(monitor, {x, y, kSquare, kSquare}));
        }
    }
    square.Print(prefix + "grid_square");
}

// Keypad presses of `moves` pixels from a random start to a random pixel and to a random
// square, each axis on its own (a press moves along one), the same pairs for every `moves`.
void StepReach(const Size& size, const std::string& prefix, const std::vector<int>& moves, const std::string& name) {
    std::mt19937 random(kSeed);
    const auto draw = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    Tally pixel;
    Tally square;
    for (int sample = 0; sample < kSamples; ++sample) {
        const int startX = draw(size.width);
        const int startY = draw(size.height);
        const int pixelX = draw(size.width);
        const int pixelY = draw(size.height);
        const int squareX = draw(size.width - kSquare + 1);
        const int squareY = draw(size.height - kSquare + 1);
        const std::vector<int> alongX = AxisPresses(size.width, startX, moves);
        const std::vector<int> alongY = AxisPresses(size.height, startY, moves);
        const int x = SpanPresses(alongX, pixelX, 1);
        const int y = SpanPresses(alongY, pixelY, 1);
        pixel.Add(x < 0 || y < 0 ? -1 : x + y);
        const int squareAlongX = SpanPresses(alongX, squareX, kSquare);
        const int squareAlongY = SpanPresses(alongY, squareY, kSquare);
        square.Add(squareAlongX < 0 || squareAlongY < 0 ? -1 : squareAlongX + squareAlongY);
    }
    pixel.Print(prefix + name + "_pixel");
    square.Print(prefix + name + "_square");
}

// ---- The programs' grids, as the screen shows them ----

constexpr int kPickDigit = 6;
constexpr int kStripWidth = 25;  // pixels read across a line, centred on where it should be
constexpr int kMostCore = 8;     // the widest core of a line the strip takes for one

// A row of pixels read back from the screen, as any program could read them.
class ScreenStrip {
public:
    ScreenStrip() : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kStripWidth;
        info.bmiHeader.biHeight = 1;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap_) {
            throw std::runtime_error("cannot make a bitmap to read the screen into");
        }
        pixels_ = static_cast<const DWORD*>(bits);
        previous_ = SelectObject(memory_, bitmap_);
    }
    ~ScreenStrip() {
        SelectObject(memory_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    ScreenStrip(const ScreenStrip&) = delete;
    ScreenStrip& operator=(const ScreenStrip&) = delete;

    // Whether the row through `at` crosses a vertical line of a grid: a run of the window's
    // colour, one to kMostCore pixels, between two pixels of the text's colour.
    bool CrossesLine(POINT at) {
        BitBlt(memory_, 0, 0, kStripWidth, 1, screen_, at.x - kStripWidth / 2, at.y, SRCCOPY);
        GdiFlush();
        const DWORD edge = Pixel(GetSysColor(COLOR_WINDOWTEXT));
        const DWORD core = Pixel(GetSysColor(COLOR_WINDOW));
        for (int left = 0; left < kStripWidth; ++left) {
            if ((pixels_[left] & 0xFFFFFF) != edge) {
                continue;
            }
            int right = left + 1;
            while (right < kStripWidth && (pixels_[right] & 0xFFFFFF) == core) {
                ++right;
            }
            if (right > left + 1 && right - left - 1 <= kMostCore && right < kStripWidth &&
                (pixels_[right] & 0xFFFFFF) == edge) {
                return true;
            }
        }
        return false;
    }

private:
    static DWORD Pixel(COLORREF colour) {
        return static_cast<DWORD>(GetRValue(colour)) << 16 | static_cast<DWORD>(GetGValue(colour)) << 8 |
               GetBValue(colour);
    }

    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const DWORD* pixels_ = nullptr;
};

ScreenStrip& Strip() {
    static ScreenStrip strip;
    return strip;
}

// The monitor that holds `point`, as the grid takes it.
ScreenArea MonitorOf(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info);
    const RECT& area = info.rcMonitor;
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

// Where the driver looks. The grid over the monitor holding `home` has a line at two thirds
// of its width; below the lower row of lines there, the bare desktop lies under it. Keypad 6
// narrows it to the middle-right cell, which has a line at two thirds of its own width,
// where the whole grid showed neither line nor digit. Each place is a quarter of a cell
// below the lower row of lines, clear of the digits' boxes.
struct Places {
    POINT open;
    POINT pick;
    POINT centre;  // the pointer after keypad 6
};

Places Where(POINT home) {
    const ScreenArea monitor = MonitorOf(home);
    const ScreenArea cell = GridCell(monitor, kPickDigit);
    const ScreenPoint centre = GridCentre(cell);
    return {{GridCell(monitor, 9).left, monitor.top + monitor.height * 3 / 4},
            {GridCell(cell, 9).left, cell.top + cell.height * 3 / 4},
            {centre.x, centre.y}};
}

bool Shown(const Target& target, const char* windowClass) {
    const HWND window = ProcessWindow(target, windowClass);
    return window && IsWindowVisible(window);
}

bool GridShown(const Target& target) { return Shown(target, "TarnwickGrid"); }

bool At(POINT point) {
    const POINT now = Pointer();
    return now.x == point.x && now.y == point.y;
}

// Waits until the pointer has stood still for half a second, a minute at most: under X the
// warps of many quick moves can come back as motion for a while after them.
void AwaitStill() {
    POINT last = Pointer();
    double since = Now();
    WaitFor(
        [&] {
            const POINT now = Pointer();
            if (now.x != last.x || now.y != last.y) {
                last = now;
                since = Now();
            }
            return Now() - since > 0.5;
        },
        60);
}

// The grid closed, its lines gone from the screen, the pointer back at `home`.
void AwaitClosed(const Program& program, const Target& target, const Places& places, POINT home) {
    if (!WaitFor(
            [&] {
                return !GridShown(target) && At(home) && !Strip().CrossesLine(places.open) &&
                       !Strip().CrossesLine(places.pick);
            },
            5)) {
        throw std::runtime_error(program.name + "'s grid does not close on Esc");
    }
}

// One opening, picking and cancelling; the seconds each of the first two took until the
// screen showed it, none for one that did not show.
std::pair<std::optional<double>, std::optional<double>> OpenPickCancel(const Target& target, const Places& places) {
    Sleep(20);
    double sent = Now();
    Press(VK_MULTIPLY);
    const std::optional<double> open = Until([&] { return Strip().CrossesLine(places.open); }, sent);
    std::optional<double> pick;
    if (open) {
        Sleep(20);
        sent = Now();
        Press(static_cast<WORD>(VK_NUMPAD0 + kPickDigit));
        pick = Until([&] { return At(places.centre) && Strip().CrossesLine(places.pick); }, sent);
    }
    if (GridShown(target) || WaitFor([&] { return GridShown(target); }, 1)) {
        Press(VK_ESCAPE);
    }
    return {open, pick};
}

void CheckGrid(const Program& program, const Target& target, POINT home) {
    const Places places = Where(home);
    PlacePointer(home);
    AwaitClosed(program, target, places, home);
    const auto [open, pick] = OpenPickCancel(target, places);
    if (!open) {
        throw std::runtime_error(program.name + "'s keypad * shows no grid line at (" +
                                 std::to_string(places.open.x) + ", " + std::to_string(places.open.y) + ")");
    }
    if (!pick) {
        throw std::runtime_error(program.name + "'s keypad 6 in the grid does not move the pointer to (" +
                                 std::to_string(places.centre.x) + ", " + std::to_string(places.centre.y) +
                                 ") and show a line at (" + std::to_string(places.pick.x) + ", " +
                                 std::to_string(places.pick.y) + ")");
    }
    AwaitClosed(program, target, places, home);
}

void MeasureGridResponse(const Program& program, const Target& target, POINT home, int openings) {
    const Places places = Where(home);
    std::vector<double> opens;
    std::vector<double> picks;
    WaitForQuiet();
    for (int opening = 0; opening < openings; ++opening) {
        const auto [open, pick] = OpenPickCancel(target, places);
        if (open) {
            opens.push_back(*open * 1e6);
        }
        if (pick) {
            picks.push_back(*pick * 1e6);
        }
        AwaitClosed(program, target, places, home);
    }
    for (const auto& [figure, times] : {std::pair{"grid_open", &opens}, std::pair{"grid_pick", &picks}}) {
        if (!times->empty()) {
            Print(program, figure + std::string("_median_us"), Percentile(*times, 0.5));
            Print(program, figure + std::string("_p99_us"), Percentile(*times, 0.99));
        }
        Print(program, figure + std::string("_lost"), openings - static_cast<int>(times->size()));
    }
}

constexpr int kBatch = 10;  // openings sent at once
constexpr int kFirstBatches = 20;  // before the growth is counted

// The digits of the openings of a batch: each but the last takes `each[0]` and `each[1]` in
// turn, the last takes `last`, whose end no other opening of the batch shares.
struct Narrowings {
    std::vector<int> each[2];
    std::vector<int> last;
};

// The grid's: all leave the pointer in the right half of the screen, on the bare desktop: over
// a window (Tarnwick's dialog opens at the top left) it would make that window track it, show
// tooltips and so on, and the growth would be that window's.
const Narrowings kGridNarrowings{{{9, 3}, {3, 9}}, {6, 1}};
// The same a digit deeper, each reaching the loupe on a screen of 1024x768 and larger.
const Narrowings kLoupeNarrowings{{{9, 3, 5}, {3, 9, 5}}, {6, 1, 5}};

// kBatch openings in one SendInput, each keypad *, its digits and keypad * again, but the
// last, which Esc closes once its digits have put the pointer at their cell's centre and
// `shown` (the grid's or the loupe's window) is up (Esc is the program's only while its grid
// is open). Sent together, the openings keep the program busy until the last, so the windows
// beneath the grid repaint once a batch.
void OpenNarrowClose(const Program& program, const Target& target, POINT home, const Narrowings& narrowings,
                     const char* shown) {
    std::vector<INPUT> keys;
    const auto press = [&keys](int virtualKey) {
        keys.push_back(Key(static_cast<WORD>(virtualKey), false));
        keys.push_back(Key(static_cast<WORD>(virtualKey), true));
    };
    for (int opening = 0; opening < kBatch; ++opening) {
        const bool last = opening + 1 == kBatch;
        press(VK_MULTIPLY);
        for (const int digit : last ? narrowings.last : narrowings.each[opening % 2]) {
            press(VK_NUMPAD0 + digit);
        }
        if (!last) {
            press(VK_MULTIPLY);
        }
    }
    ScreenArea region = MonitorOf(home);
    for (const int digit : narrowings.last) {
        region = GridCell(region, digit);
    }
    const ScreenPoint end = GridCentre(region);
    Send(keys);
    if (!WaitFor([&] { return At({end.x, end.y}) && GridShown(target) && Shown(target, shown); }, 10)) {
        throw std::runtime_error(program.name + "'s grid does not open, narrow and close as the driver expects");
    }
    Press(VK_ESCAPE);
    if (!WaitFor([&] { return !GridShown(target) && !Shown(target, shown); }, 5)) {
        throw std::runtime_error(program.name + "'s grid does not close on Esc");
    }
}

// What the first openings make stays for the program's life: the windows, kept, and under
// Wine some 70 KiB of memory that a program showing a dialog takes over its first hundred or
// so openings (the dialog floor as much as Tarnwick): <figure>_first.
void MeasureFirstOpenings(const Program& program, const Target& target, POINT home, const Footprint& before,
                          const Narrowings& narrowings, const char* shown, const std::string& figure) {
    for (int batch = 0; batch < kFirstBatches; ++batch) {
        OpenNarrowClose(program, target, home, narrowings, shown);
    }
    Sleep(1000);
    PrintGrowth(program, target.Holdings(), before, figure + "_first");
    AwaitStill();
    PlacePointer(home);
}

// The growth over `growthRounds` openings, and over their second half: <figure>_rounds,
// <figure>_second_half.
void MeasureOpenings(const Program& program, const Target& target, POINT home, int growthRounds,
                     const Narrowings& narrowings, const char* shown, const std::string& figure) {
    Progress(program.name + ": " + std::to_string(growthRounds) + " openings of the grid (" + figure + ")");
    const int batches = growthRounds / kBatch;
    Sleep(1000);
    const Footprint start = target.Holdings();
    for (int batch = 0; batch < batches / 2; ++batch) {
        OpenNarrowClose(program, target, home, narrowings, shown);
    }
    Sleep(1000);
    const Footprint middle = target.Holdings();
    for (int batch = batches / 2; batch < batches; ++batch) {
        OpenNarrowClose(program, target, home, narrowings, shown);
    }
    Sleep(1000);
    const Footprint after = target.Holdings();
    Print(program, figure + "_rounds", batches * kBatch);
    PrintGrowth(program, after, start, figure + "_rounds");
    PrintGrowth(program, after, middle, figure + "_second_half");
    AwaitStill();
    PlacePointer(home);
}

// ---- The loupe ----

// Keypad * and these digits from the right edge's middle bring the loupe up on a screen of
// 1024x768 and larger: the region is then at most 38 pixels wide.
constexpr int kLoupeDigits[] = {6, 5, 5};

// Where the driver looks: the loupe's cut after its first span of pixels, across the middle
// of its first row of squares, by the loupe's own arithmetic at the screen's DPI; and where
// the last digit puts the pointer. What lies there before is the bare desktop, beside the
// region the grid showed a digit before.
struct LoupePlaces {
    POINT cut;
    POINT centre;
    ScreenArea source;  // what the loupe reads of the screen, and where it stands
    ScreenArea window;
};

LoupePlaces WhereLoupe(POINT home) {
    const ScreenArea monitor = MonitorOf(home);
    ScreenArea region = monitor;
    for (const int digit : kLoupeDigits) {
        region = GridCell(region, digit);
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const std::optional<LoupeLayout> loupe = PlaceLoupe(monitor, region, dpi);
    if (!loupe) {
        throw std::runtime_error("the screen is too small for the loupe three digits in");
    }
    const LoupeSpan& column = loupe->columns.front();
    const LoupeSpan& row = loupe->rows.front();
    const ScreenPoint centre = GridCentre(region);
    return {{loupe->window.left + column.at + column.pixels * loupe->zoom + loupe->line,
             loupe->window.top + row.at + row.pixels * loupe->zoom / 2},
            {centre.x, centre.y},
            loupe->source,
            loupe->window};
}

// Keypad * and the digits before the last, each awaited until the pointer stands at the
// region's centre and the region's line at two thirds of its width shows (below its lower
// row of lines, where the lines run alone); false when the grid does not follow.
bool OpenBeforeLoupe(const Target& target, const Places& places) {
    Press(VK_MULTIPLY);
    if (!WaitFor([&] { return GridShown(target) && Strip().CrossesLine(places.open); }, 2)) {
        return false;
    }
    ScreenArea region = MonitorOf(places.open);
    for (std::size_t index = 0; index + 1 < std::size(kLoupeDigits); ++index) {
        Sleep(20);
        region = GridCell(region, kLoupeDigits[index]);
        const ScreenPoint centre = GridCentre(region);
        const POINT line{GridCell(region, 9).left, region.top + region.height * 5 / 6};
        Press(static_cast<WORD>(VK_NUMPAD0 + kLoupeDigits[index]));
        if (!WaitFor([&] { return At({centre.x, centre.y}) && Strip().CrossesLine(line); }, 2)) {
            return false;
        }
    }
    Sleep(20);
    return true;
}

// The grid and the loupe closed, the loupe's cut gone from the screen, the pointer at `home`.
void AwaitLoupeClosed(const Program& program, const Target& target, const LoupePlaces& loupe, POINT home) {
    if (!WaitFor([&] { return !GridShown(target) && !Shown(target, "TarnwickLoupe") && At(home) &&
                              !Strip().CrossesLine(loupe.cut); },
                 5)) {
        throw std::runtime_error(program.name + "'s loupe does not close on Esc");
    }
}

// What the loupe's reads of the screen cost when the driver makes them: its picture, then
// the rectangle it is about to cover, each a BitBlt from the screen's DC into a bitmap.
double LoupeReadSeconds(const LoupePlaces& loupe) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const double start = Now();
    for (const ScreenArea& area : {loupe.source, loupe.window}) {
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, area.width, area.height);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, area.width, area.height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    const double seconds = Now() - start;
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return seconds;
}

}  // namespace

void MeasureReach() {
    Print("driver", "reach_samples", kSamples);
    for (const Size& size : kScreens) {
        const std::string prefix = "reach_" + std::to_string(size.width) + "x" + std::to_string(size.height) + "_";
        Progress("counting the keys to a target on " + std::to_string(size.width) + "x" +
                 std::to_string(size.height));
        GridReach(size, prefix);
        StepReach(size, prefix, {kStep}, "step");
        StepReach(size, prefix, {kStep, kTenSteps}, "ten_step");
    }
}

void MeasureGrid(const Program& program, const Target& target, POINT home, int openings, int growthRounds) {
    Progress(program.name + ": the keypad grid");
    const Footprint before = target.Holdings();
    CheckGrid(program, target, home);
    if (growthRounds > 0) {
        MeasureFirstOpenings(program, target, home, before, kGridNarrowings, "TarnwickGrid", "grid");
    }
    MeasureGridResponse(program, target, home, openings);
    if (growthRounds > 0) {
        MeasureOpenings(program, target, home, growthRounds, kGridNarrowings, "TarnwickGrid", "grid");
    }
}

void MeasureLoupe(const Program& program, const Target& target, POINT home, int openings, int growthRounds) {
    Progress(program.name + ": the keypad grid's loupe");
    const Footprint before = target.Holdings();
    const Places places = Where(home);
    const LoupePlaces loupe = WhereLoupe(home);
    if (growthRounds > 0) {
        MeasureFirstOpenings(program, target, home, before, kLoupeNarrowings, "TarnwickLoupe", "loupe");
    }
    PlacePointer(home);
    std::vector<double> picks;
    std::vector<double> reads;
    WaitForQuiet();
    for (int opening = 0; opening < openings; ++opening) {
        if (!OpenBeforeLoupe(target, places)) {
            throw std::runtime_error(program.name + "'s grid does not follow keypad * and its digits to the loupe");
        }
        const double sent = Now();
        Press(static_cast<WORD>(VK_NUMPAD0 + kLoupeDigits[std::size(kLoupeDigits) - 1]));
        const std::optional<double> pick = Until(
            [&] { return At(loupe.centre) && Shown(target, "TarnwickLoupe") && Strip().CrossesLine(loupe.cut); },
            sent);
        if (pick) {
            picks.push_back(*pick * 1e6);
        } else if (opening == 0) {
            throw std::runtime_error(program.name + "'s loupe shows no cut at (" + std::to_string(loupe.cut.x) +
                                     ", " + std::to_string(loupe.cut.y) + ")");
        }
        Press(VK_ESCAPE);
        AwaitLoupeClosed(program, target, loupe, home);
        reads.push_back(LoupeReadSeconds(loupe) * 1e6);
    }
    if (!picks.empty()) {
        Print(program, "loupe_pick_median_us", Percentile(picks, 0.5));
        Print(program, "loupe_pick_p99_us", Percentile(picks, 0.99));
    }
    Print(program, "loupe_pick_lost", openings - static_cast<int>(picks.size()));
    Print(program, "loupe_read_median_us", Percentile(reads, 0.5));
    if (growthRounds > 0) {
        MeasureOpenings(program, target, home, growthRounds, kLoupeNarrowings, "TarnwickLoupe", "loupe");
    }
}

void MeasureGridIdle(const Program& program, const Target& target, POINT home, int seconds) {
    const Places places = Where(home);
    PlacePointer(home);
    Press(VK_MULTIPLY);
    if (!WaitFor([&] { return Strip().CrossesLine(places.open); }, 2)) {
        throw std::runtime_error(program.name + "'s grid does not open");
    }
    MeasureIdle(program, target, seconds, "grid_idle_ms");
    Press(VK_ESCAPE);
    AwaitClosed(program, target, places, home);
}

void MeasureLoupeIdle(const Program& program, const Target& target, POINT home, int seconds) {
    const Places places = Where(home);
    const LoupePlaces loupe = WhereLoupe(home);
    PlacePointer(home);
    if (!OpenBeforeLoupe(target, places)) {
        throw std::runtime_error(program.name + "'s grid does not follow keypad * and its digits to the loupe");
    }
    Press(static_cast<WORD>(VK_NUMPAD0 + kLoupeDigits[std::size(kLoupeDigits) - 1]));
    if (!WaitFor([&] { return Strip().CrossesLine(loupe.cut); }, 2)) {
        throw std::runtime_error(program.name + "'s loupe does not show");
    }
    MeasureIdle(program, target, seconds, "loupe_idle_ms");
    Press(VK_ESCAPE);
    AwaitLoupeClosed(program, target, loupe, home);
}
