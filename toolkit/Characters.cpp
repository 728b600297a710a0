#include "toolkit/Characters.h"

#include <cstring>

namespace {
bool IsOneOf(const std::string& text, size_t index, size_t length, const char* set) {
  return length == 1 && text[index] != '\0' && std::strchr(set, text[index]) != nullptr;
}
}  // namespace

size_t FindFirstCharacterOf(const std::string& text, const char* set, size_t from) {
  for (size_t i = from; i < text.size();) {
    const size_t length = CharacterLength(text, i);
    if (IsOneOf(text, i, length, set)) return i;
    i += length;
  }
  return std::string::npos;
}

size_t FindLastCharacterOf(const std::string& text, const char* set) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < text.size();) {
    const size_t length = CharacterLength(text, i);
    if (IsOneOf(text, i, length, set)) found = i;
    i += length;
  }
  return found;
}

bool EndsWithCharacter(const std::string& text, char c) {
  const char set[] = {c, '\0'};
  const size_t last = FindLastCharacterOf(text, set);
  return last != std::string::npos && last + 1 == text.size();
}
