// Placeholder until the render command lands.
#include <cstdio>
#include "Commands.h"
const char* const kRenderUsage = "";
int CmdRender(int, char**, const std::vector<std::string>&) { std::fprintf(stderr, "render: not built yet\n"); return 1; }
