// printf-style formatting into a std::string, for the program's fixed message texts.
#pragma once

#include <string>

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
