// kelvmap-cli: looks into and repairs KelvMap table files, imports exports
// and renders the map without a display (the commands: CliOptions.cpp).
#include <cstdio>

#include "CliOptions.h"
#include "StandardDescriptors.h"

int main(int argc, char** argv) {
    // Before any file is opened: a table must never take the number of a
    // closed standard stream.
    if (!EnsureStandardDescriptors()) {
        std::fputs("kelvmap-cli: /dev/null cannot be opened in the place of a closed standard stream\n", stderr);
        return 1;
    }
    return RunCli(argc, argv);
}
