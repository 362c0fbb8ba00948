// The engine's keypad grid: what the keys mean while it is open, and its opening and closing.

#include "emulation/EmulationEngine.h"

#include <utility>

namespace {

// While the grid is open the keypad's digits, whatever key asked, pick the cell at their place
// on the keypad.
constexpr std::pair<Action, int> kGridDigits[] = {
    {Action::LeftClick, 1}, {Action::MiddleClick, 2}, {Action::RightClick, 3},
    {Action::MoveLeft, 4},  {Action::MoveDown, 5},    {Action::MoveRight, 6},
    {Action::WheelUp, 7},   {Action::MoveUp, 8},      {Action::WheelDown, 9},
};

}  // namespace

// What an action means while the grid is open: a digit picks its cell and never clicks, Ctrl
// with a move moves the region; keypad / clicks, keypad 0, . and + do what they always do, and
// then each closes the grid. The rest keep their meaning.
EmulationEngine::GridReading EmulationEngine::ReadInGrid(Action action) {
    for (const auto& [digitAction, digit] : kGridDigits) {
        if (digitAction == action) {
            PickCell(digit);
            return GridReading::Done;
        }
    }
    switch (action) {
        case Action::FastLeft: MoveGrid(GridDirection::Left); return GridReading::Done;
        case Action::FastDown: MoveGrid(GridDirection::Down); return GridReading::Done;
        case Action::FastRight: MoveGrid(GridDirection::Right); return GridReading::Done;
        case Action::FastUp: MoveGrid(GridDirection::Up); return GridReading::Done;
        case Action::Grid: CloseGrid(); return GridReading::Done;
        case Action::GridBack:
            if (const std::optional<ScreenPoint> pointer = grid_.Back()) {
                MoveGridPointer(*pointer);
            } else {
                CancelGrid();
            }
            return GridReading::Done;
        case Action::GridCancel: CancelGrid(); return GridReading::Done;
        case Action::GridClick:
        case Action::HoldButton:
        case Action::ReleaseButton:
        case Action::DoubleClick: return GridReading::ActThenClose;
        default: return GridReading::Unchanged;
    }
}

// Over the whole monitor that holds the pointer, taken as the monitors are now; the pointer
// stays where it is.
void EmulationEngine::OpenGrid() {
    const std::optional<ScreenPoint> pointer = mouse_.CursorPosition();
    if (!pointer) {
        return;
    }
    grid_.Open(MonitorAt(*pointer, Monitors()), *pointer);
    ApplyLayers({});
    gridView_.Show(grid_.Monitor(), grid_.Region(), *pointer);
}

void EmulationEngine::PickCell(int digit) {
    const ScreenPoint pointer = grid_.Pick(digit);
    if (grid_.Narrowest()) {
        MoveTo(pointer);
        CloseGrid();
    } else {
        MoveGridPointer(pointer);
    }
}

void EmulationEngine::MoveGrid(GridDirection direction) {
    if (const std::optional<ScreenPoint> pointer = grid_.Move(direction, Monitors())) {
        MoveGridPointer(*pointer);
    }
}

void EmulationEngine::MoveGridPointer(ScreenPoint pointer) {
    MoveTo(pointer);
    gridView_.Show(grid_.Monitor(), grid_.Region(), pointer);
}

void EmulationEngine::CloseGrid() {
    if (!grid_.IsOpen()) {
        return;
    }
    grid_.Close();
    ApplyLayers({});
    gridView_.Hide();
}

// Closes the grid and puts the pointer back where it was when the grid opened.
void EmulationEngine::CancelGrid() {
    const ScreenPoint origin = grid_.Origin();
    CloseGrid();
    MoveTo(origin);
}
