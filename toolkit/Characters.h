// Paths and names are 8-bit text in the system's code page, and a code page may be
// double-byte (Japanese, Chinese, Korean): there a lead byte and the byte after it make one
// character, and that second byte may be 0x5C ("\") or an ASCII letter. So every scan of a
// path or name for "\", ":" or a letter, and every change of letter case, steps by
// characters through these functions, never byte by byte.
//
// The platform supplies the rule (CharacterLength): on Windows, the process's ANSI code page
// (UTF-8 for setup.exe on current systems, whose bytes of a multi-byte letter are all above
// 0x7F, so there every byte steps alone); elsewhere every byte is a character, as in UTF-8.
#pragma once

#include <cstddef>
#include <string>

// The length in bytes, 1 or 2, of the character that starts at `index`; a lead byte with
// nothing after it stands alone.
size_t CharacterLength(const std::string& text, size_t index);

// Where the first character at or after `from` that is one of `set` starts (a character of
// `set` is one byte), or npos. `from` must be the start of a character.
size_t FindFirstCharacterOf(const std::string& text, const char* set, size_t from = 0);
// Where the last character that is one of `set` starts, or npos.
size_t FindLastCharacterOf(const std::string& text, const char* set);
// True when the text's last character is `c`.
bool EndsWithCharacter(const std::string& text, char c);
