// The TextStream the FileSystemObject opens: a file read whole when it is
// opened (and charged to the memory meter), then handed out line by line
// or character by character.  Streams only ever read; the writing methods
// are refused with error 70.
#pragma once

#include "script/host_object.h"

#include <string>

namespace quillet::script {

// How OpenTextFile's format argument reads the bytes.
enum class TextFormat : uint8_t {
    Detect,  // as decodeFileText reads files (ASCII and system default)
    Utf16,   // Unicode: UTF-16, little endian unless a byte-order mark says otherwise
};
TextFormat textFormatFrom(int32_t tristate); // error 5 outside -2..0

// OpenTextFile's and OpenAsTextStream's iomode: ForReading (1) is all a
// stream here does; ForWriting (2) and ForAppending (8) are error 70,
// anything else error 5.
void requireReadMode(int32_t iomode);

// Opens the file at `realPath` (already let through by ReadableFolders)
// for reading: error 53 when missing, 76 when its folder is, 70 for a
// folder or anything but a regular file, 7 when it would not fit the
// memory limit.
Value openTextStream(const std::string& realPath, TextFormat format);

} // namespace quillet::script
