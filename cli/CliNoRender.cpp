// Build without the Qt layers: the render command is not available.
#include "Commands.h"
#include "KelvErrors.h"
const char* const kRenderUsage =
    "  kelvmap-cli render DATADIR OUTFILE [OPTION...]\n"
    "      Not available: this kelvmap-cli was built without map rendering.\n";
int CmdRender(const TCliArguments&) {
    throw EKelvError("this kelvmap-cli was built without map rendering");
}
