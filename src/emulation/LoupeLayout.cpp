#include "emulation/LoupeLayout.h"

#include "emulation/KeypadGrid.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

constexpr int kStandardDpi = 96;
constexpr int kMostZoom = 16;     // at the standard DPI
constexpr int kPointerSize = 32;  // a standard pointer's side at the standard DPI

int Right(const ScreenArea& area) { return area.left + area.width; }
int Bottom(const ScreenArea& area) { return area.top + area.height; }

ScreenArea Union(const ScreenArea& a, const ScreenArea& b) {
    const int left = std::min(a.left, b.left);
    const int top = std::min(a.top, b.top);
    return {left, top, std::max(Right(a), Right(b)) - left, std::max(Bottom(a), Bottom(b)) - top};
}

// The region's cuts along one axis, each once: its two edges and the two between its thirds,
// which coincide where the side is under three pixels.
std::vector<int> Cuts(int start, int first, int second, int length) {
    std::vector<int> cuts{start, first, second, start + length};
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

// Where `content` pixels around `start`, `length` begin: centred on it, within the monitor.
int Centred(int start, int length, int content, int monitorStart, int monitorLength) {
    return std::clamp(start - (content - length) / 2, monitorStart, monitorStart + monitorLength - content);
}

// The pieces of `pixels` screen pixels from `from` between `cuts` (all within them), each
// gap `gap` wide; the loupe's length along that axis.
int Spans(int from, int pixels, const std::vector<int>& cuts, int zoom, int gap, std::vector<LoupeSpan>& spans) {
    int at = 0;
    int next = from;
    for (const int cut : cuts) {
        if (cut > next) {
            spans.push_back({next, cut - next, at});
            at += (cut - next) * zoom;
            next = cut;
        }
        at += gap;
    }
    if (from + pixels > next) {
        spans.push_back({next, from + pixels - next, at});
        at += (from + pixels - next) * zoom;
    }
    return at;
}

// Where the square of screen pixel `pixel` begins on the loupe.
int Place(const std::vector<LoupeSpan>& spans, int zoom, int pixel) {
    for (const LoupeSpan& span : spans) {
        if (pixel < span.from + span.pixels) {
            return span.at + (pixel - span.from) * zoom;
        }
    }
    return spans.back().at + spans.back().pixels * zoom;
}

// Whether place `index` (0 to 2) of a side `length` pixels long labels the pixel it picks.
bool Labels(int length, int index) {
    if (length >= 3) {
        return true;
    }
    return length == 1 ? index == 1 : index != 1;
}

// A `width` x `height` window beside `clear`, `spacing` apart, on the side of the monitor with
// the most room, centred on `centre` along that side and kept on the monitor. None when that
// side is too narrow for it.
std::optional<ScreenPoint> Beside(const ScreenArea& monitor, const ScreenArea& clear, ScreenPoint centre,
                                  int width, int height, int spacing) {
    const int rooms[] = {Right(monitor) - Right(clear), clear.left - monitor.left, Bottom(monitor) - Bottom(clear),
                         clear.top - monitor.top};
    const auto side = std::max_element(std::begin(rooms), std::end(rooms)) - std::begin(rooms);
    const bool sideways = side < 2;
    if (rooms[side] < (sideways ? width : height) + spacing) {
        return std::nullopt;
    }
    const int x = std::clamp(centre.x - width / 2, monitor.left, Right(monitor) - width);
    const int y = std::clamp(centre.y - height / 2, monitor.top, Bottom(monitor) - height);
    switch (side) {
        case 0: return ScreenPoint{Right(clear) + spacing, y};
        case 1: return ScreenPoint{clear.left - spacing - width, y};
        case 2: return ScreenPoint{x, Bottom(clear) + spacing};
        default: return ScreenPoint{x, clear.top - spacing - height};
    }
}

}  // namespace

std::optional<LoupeLayout> PlaceLoupe(const ScreenArea& monitor, const ScreenArea& region, int dpi) {
    LoupeLayout loupe{};
    loupe.line = std::max(1, (dpi + kStandardDpi / 2) / kStandardDpi);
    const int gap = 3 * loupe.line;
    const std::vector<int> columns =
        Cuts(region.left, GridCell(region, 8).left, GridCell(region, 9).left, region.width);
    const std::vector<int> rows = Cuts(region.top, GridCell(region, 4).top, GridCell(region, 1).top, region.height);
    const int side = std::min(monitor.width, monitor.height) / 3;
    const int room = side - gap * static_cast<int>(std::max(columns.size(), rows.size()));
    loupe.zoom = std::min(kMostZoom * dpi / kStandardDpi, room / (3 * std::max(region.width, region.height)));
    if (loupe.zoom < 2) {
        return std::nullopt;
    }

    const int content = room / loupe.zoom;
    loupe.source = {Centred(region.left, region.width, content, monitor.left, monitor.width),
                    Centred(region.top, region.height, content, monitor.top, monitor.height), content, content};
    loupe.window.width = Spans(loupe.source.left, content, columns, loupe.zoom, gap, loupe.columns);
    loupe.window.height = Spans(loupe.source.top, content, rows, loupe.zoom, gap, loupe.rows);
    const auto onLoupe = [&](const ScreenArea& area) {
        const int left = Place(loupe.columns, loupe.zoom, area.left);
        const int top = Place(loupe.rows, loupe.zoom, area.top);
        return ScreenArea{left, top, Place(loupe.columns, loupe.zoom, Right(area) - 1) + loupe.zoom - left,
                          Place(loupe.rows, loupe.zoom, Bottom(area) - 1) + loupe.zoom - top};
    };
    for (std::size_t index = 0; index < loupe.cells.size(); ++index) {
        const int place = static_cast<int>(index);  // the digit's, less one
        loupe.cells[index] = onLoupe(GridCell(region, place + 1));
        loupe.labelled[index] = Labels(region.width, place % 3) && Labels(region.height, 2 - place / 3);
    }
    const ScreenPoint pointer = GridCentre(region);
    loupe.pointer = onLoupe({pointer.x, pointer.y, 1, 1});

    // Clear of the margin too where there is room, so that the loupe hides nothing it shows;
    // always clear of the region and the pointer.
    const int pointerSize = kPointerSize * dpi / kStandardDpi;
    const ScreenArea pointerImage{pointer.x, pointer.y, pointerSize, pointerSize};
    const int spacing = 2 * gap;
    std::optional<ScreenPoint> at = Beside(monitor, Union(loupe.source, pointerImage), pointer, loupe.window.width,
                                           loupe.window.height, spacing);
    if (!at) {
        at = Beside(monitor, Union(region, pointerImage), pointer, loupe.window.width, loupe.window.height, spacing);
    }
    if (!at) {
        return std::nullopt;  // a monitor too small to hold it anywhere
    }
    loupe.window.left = at->x;
    loupe.window.top = at->y;
    return loupe;
}
