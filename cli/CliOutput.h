#pragma once

#include <string_view>

// Standard output, checked to the end: a command whose output could not be
// written whole (a full disk, /dev/full, a closed standard output) fails
// instead of reporting success with the output cut short.

// Writes text to standard output. Raises EInOutError "cannot write the
// output (REASON)", REASON being the system's words, when the write fails.
void WriteOut(std::string_view text);

// Flushes standard output and raises as WriteOut when that fails or when
// anything printed before could not be written. The tool calls it after
// every command that succeeded, before it exits with 0.
void FinishOut();
