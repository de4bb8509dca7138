#pragma once

#include <array>
#include <cstdint>
#include <string>

// Process-wide paths and flag, and the race table.

// The folder of all table files and text exports. Empty until the main window
// (or a tool or test) sets it; always ends with "/" once set.
const std::string& DataDir();
// Sets DataDir; a "/" is appended when dir is not empty and lacks one.
void SetDataDir(const std::string& dir);
// AppDir() + "Data/": the folder the program uses beside its executable.
std::string DefaultDataDir();

// 1 when the program runs in debug mode, else 0.
int DebugMode() noexcept;
void SetDebugMode(int mode) noexcept;

// The race table: entry n - 1 belongs to race n (1..9). Colours are
// 0xBBGGRR (blue in the high byte, red in the low byte).
inline constexpr int32_t kRaceCount = 9;
inline constexpr int32_t kUnknownRace = 9;
inline constexpr std::array<const char*, kRaceCount> RaceNames = {
    "Velor", "Murel", "Hoskari", "Drenn", "Quorim", "Zelth", "Pirate", "Ostev", "Unknown"};
inline constexpr std::array<uint32_t, kRaceCount> RaceColors = {
    0xB09A00, 0x7A123C, 0x00767B, 0x6DA3CA, 0x21740A, 0x0700C4, 0x2F5BED, 0xFFFFFF, 0x464947};

// Safe access to the race table. The imports do not check race numbers, so a
// sector or factory may carry any number: a race outside 1..9 is treated as
// race 9 ("Unknown"), i.e. it gets Unknown's colour 0x464947 and initial 'U'.
bool IsKnownRace(int32_t race) noexcept;
const char* RaceName(int32_t race) noexcept;
uint32_t RaceColor(int32_t race) noexcept;
char RaceInitial(int32_t race) noexcept;
