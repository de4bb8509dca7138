// Placeholder until the import command lands.
#include <cstdio>
#include "Commands.h"
const char* const kImportUsage = "";
int CmdImport(const std::vector<std::string>&) { std::fprintf(stderr, "import: not built yet\n"); return 1; }
