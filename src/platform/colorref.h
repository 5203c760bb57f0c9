#pragma once

#include <cstdint>

// Colours as 32-bit RGB values with red in the lowest byte, the layout the grid's colour
// properties use. Spelled apart from the platform's own RGB macro and COLORREF type, so that
// a Windows build can include both.
using ColorRef = std::uint32_t;

constexpr ColorRef RgbColor(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(ColorRef c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(ColorRef c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
