#include "CliOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "KelvErrors.h"

namespace {

[[noreturn]] void FailOutput(int code) {
    // A failure noted earlier (in a printf of the stream's own) may have
    // left no error number behind.
    if (code == 0) code = EIO;
    throw EInOutError(code, std::string("cannot write the output (") + std::strerror(code) + ")");
}

}  // namespace

void WriteOut(std::string_view text) {
    errno = 0;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) FailOutput(errno);
}

void FinishOut() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) FailOutput(errno);
}
