#pragma once

// Makes sure descriptors 0, 1 and 2 (standard input, output and error) are
// open before the program opens any file of its own: a program started with
// one of them closed would otherwise get that number for the first file it
// opens, and its printed output or error text would land in a table or an
// image. A closed descriptor is opened on /dev/null in the direction its
// stream is not used in (standard input for writing, the other two for
// reading), so that using it still fails as it did while it was closed: a
// command whose output goes nowhere says so. Open descriptors are left as
// they are. Returns false when /dev/null cannot be opened; a closed
// descriptor may then remain, and the caller should stop before it opens a
// file. Call it first thing in main, before the toolkit starts.
bool EnsureStandardDescriptors();
