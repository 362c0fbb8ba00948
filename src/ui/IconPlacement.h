#pragma once

// Where a minimised window draws its icon: centred in the client area, an odd leftover
// pixel going to the left and top. Division truncates toward zero, also when the client area
// is smaller than the icon.

struct IconOrigin {
    int x;
    int y;
};

constexpr IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                       int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
