#pragma once

// The keys the window tells apart, by their Windows virtual-key codes (in a namespace of their
// own, apart from the platform's VK_ macros); digits and letters are their ASCII capitals,
// '0' to '9' and 'A' to 'Z'. keyboard.cpp turns key events into them; the command table
// names its keys with them.
namespace vk {
constexpr int Back = 0x08;
constexpr int Return = 0x0D;
constexpr int Escape = 0x1B;
constexpr int Space = 0x20;
constexpr int Left = 0x25;
constexpr int Right = 0x27;
constexpr int Insert = 0x2D;
constexpr int Delete = 0x2E;
constexpr int Apps = 0x5D;
constexpr int Numpad0 = 0x60;
constexpr int F1 = 0x70;
constexpr int F10 = 0x79;
} // namespace vk
