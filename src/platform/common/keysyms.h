#pragma once

#include <cstdint>

// The X keysyms of the keys the typists press; the portal types keysyms too.
namespace qlq::keysym {

inline constexpr uint32_t kControlL = 0xffe3;
inline constexpr uint32_t kReturn = 0xff0d;
inline constexpr uint32_t kLowerV = 0x0076;
inline constexpr uint32_t kUpperV = 0x0056;

} // namespace qlq::keysym
