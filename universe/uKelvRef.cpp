#include "uKelvRef.h"

#include "Needs.h"

namespace {

std::string& DataDirStorage() {
    static std::string dir;
    return dir;
}

int g_debugMode = 0;

}  // namespace

const std::string& DataDir() { return DataDirStorage(); }

void SetDataDir(const std::string& dir) {
    std::string value = dir;
    if (!value.empty() && value.back() != '/') value.push_back('/');
    DataDirStorage() = std::move(value);
}

std::string DefaultDataDir() { return AppDir() + "Data/"; }

int DebugMode() noexcept { return g_debugMode; }
void SetDebugMode(int mode) noexcept { g_debugMode = mode != 0 ? 1 : 0; }

bool IsKnownRace(int32_t race) noexcept { return race >= 1 && race <= kRaceCount; }

const char* RaceName(int32_t race) noexcept {
    return RaceNames[static_cast<size_t>((IsKnownRace(race) ? race : kUnknownRace) - 1)];
}

uint32_t RaceColor(int32_t race) noexcept {
    return RaceColors[static_cast<size_t>((IsKnownRace(race) ? race : kUnknownRace) - 1)];
}

char RaceInitial(int32_t race) noexcept { return RaceName(race)[0]; }
