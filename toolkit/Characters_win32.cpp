// The rule of the process's ANSI code page: a lead byte of a double-byte code page joins the
// byte after it. Under UTF-8 (setup.exe's manifest) no byte is a lead byte in this sense,
// and none needs to be: no byte of a multi-byte UTF-8 letter is ASCII.
#include <windows.h>

#include "toolkit/Characters.h"

size_t CharacterLength(const std::string& text, size_t index) {
  const bool lead = IsDBCSLeadByte(static_cast<BYTE>(text[index]));
  return lead && index + 1 < text.size() && text[index + 1] != '\0' ? 2 : 1;
}
