#pragma once

// Text encodings at the edges of the program. Inside, every text is UTF-8.

#include <string>
#include <string_view>

namespace tolvane {

// Decodes the bytes of a document file into UTF-8. A byte order mark selects
// the encoding and is dropped: EF BB BF UTF-8, FF FE UTF-16LE, FE FF UTF-16BE
// (tested in this order). Without one the bytes are Windows-1252, where the
// unassigned bytes 0x81 0x8D 0x8F 0x90 0x9D become U+0081 ... U+009D.
// Invalid UTF-8 becomes U+FFFD per maximal invalid subpart; an unpaired UTF-16
// surrogate or a truncated final code unit becomes one U+FFFD each.
// Takes the buffer by value so that plain ASCII input is moved, not copied.
std::string DecodeDocument(std::string bytes);

// Windows-1252 bytes to UTF-8 (every byte is one character).
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252; U+0081 U+008D U+008F U+0090 U+009D go back to their
// bytes, every other character outside the code page becomes "?".
std::string Utf8ToWindows1252(std::string_view text);

}  // namespace tolvane
