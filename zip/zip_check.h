// Whether an archive's bytes are a whole ZIP archive: the end record is
// where a writer that stopped early never puts it.
#pragma once

#include <string>

// True when the bytes end in an end-of-central-directory record (with no
// comment) whose central directory lies right before it and begins with a
// central header, or holds no entry at all.
bool IsCompleteZip(const std::string& bytes);
