// Build without the Qt layers: the render command is not available.
#include <cstdio>
#include "Commands.h"
const char* const kRenderUsage = "";
int CmdRender(int, char**, const std::vector<std::string>&) {
    std::fprintf(stderr, "kelvmap-cli was built without map rendering\n");
    return 1;
}
