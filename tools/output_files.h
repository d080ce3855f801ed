// What every file writer of the asset generator shares: making room for a file and stopping
// the whole run when one cannot be written.
#pragma once

#include <string>

// ---------------------------------------------------------------------------------------------
// Public functions

// Prints the path and the reason and exits, so a half-written asset set is never taken for a
// good one.
[[noreturn]] void FailWrite(const std::string& path, const char* reason);
// Creates the missing parent folders of `path`; a failure is fatal (FailWrite).
void CreateParentFolders(const std::string& path);
