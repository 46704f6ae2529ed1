// SPDX-License-Identifier: MIT
// The page's planning files: it has no file system to read them from, so
// --file is refused as a missing file is.
#include "app/sheet.h"

bool read_sheet(const char* path, const SheetHeader&, const SheetRow&, std::string& error)
{
    error = std::string(path) + ": cannot read: the page reads no files";
    return false;
}
