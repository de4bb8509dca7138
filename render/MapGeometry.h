#pragma once

#include <cstdint>

// Grid and cell geometry of the map.
inline constexpr int32_t kGridColumns = 20;
inline constexpr int32_t kGridRows = 15;
inline constexpr int32_t kCellWidth = 115;
inline constexpr int32_t kMapWidth = kGridColumns * kCellWidth;   // 2300
inline constexpr int32_t kInitialMapHeight = 2500;
