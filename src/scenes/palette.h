// The colours the scenes are painted in, &H00BBGGRR.
#pragma once

#include "runtime/description.h"

namespace az::palette {

constexpr VbColor black = 0x00000000;
constexpr VbColor white = 0x00FFFFFF;
constexpr VbColor red = 0x000000FF;
constexpr VbColor amber = 0x0000CCFF;
constexpr VbColor lightGrey = 0x00C0C0C0;
constexpr VbColor green = 0x0000C000;
constexpr VbColor darkBlue = 0x00C00000;
constexpr VbColor yellow = 0x0000FFFF;

}  // namespace az::palette
