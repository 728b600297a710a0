// The robot's texts are UTF-8, whatever its own code page, and it hands Windows 16-bit
// text: so it reads, types and checks every letter a program shows or writes, also the
// letters no 8-bit code page holds together, and it works the same under any locale.
#pragma once

#include <string>

namespace robot {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

}  // namespace robot
