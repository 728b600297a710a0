// The program's text is 8-bit, in the process's ANSI code page (UTF-8 for setup.exe on
// systems that honour its manifest). Where it crosses to a 16-bit call it is converted here,
// in that code page, because the system's own conversion behind an 8-bit call does not
// always use it: GDI converts by the character set of the selected font, and a shell link's
// 8-bit interface, under Wine, by the system's code page.
#pragma once

#include <windows.h>

#include <string>

std::wstring WideText(const std::string& text);

// 16-bit text in the ANSI code page. A letter the code page cannot write (a system without
// UTF-8) becomes "?", never a look-alike letter, so that no other existing name is meant;
// `exact`, when given, tells whether every letter was written.
std::string AnsiText(const std::wstring& text, bool* exact = nullptr);
