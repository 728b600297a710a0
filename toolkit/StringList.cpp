#include "toolkit/StringList.h"

#include <utility>

#include "toolkit/Characters.h"

namespace {
char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Applies `map` to each one-byte character; the second byte of a double-byte character may
// fall in A-Z or a-z and must stay as it is.
template <typename Map>
std::string MapSingleBytes(std::string text, Map map) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = CharacterLength(text, i);
    if (length == 1) text[i] = map(text[i]);
    i += length;
  }
  return text;
}
}  // namespace

bool SameTextAscii(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperCaseAscii(a) == UpperCaseAscii(b);
}

std::string UpperCaseAscii(std::string text) {
  return MapSingleBytes(std::move(text), UpperAscii);
}

std::string LowerCaseAscii(std::string text) {
  return MapSingleBytes(std::move(text), LowerAscii);
}

TStringList::~TStringList() {
  Clear();
}

int TStringList::AddObject(const std::string& text, TObject* object) {
  items_.push_back({text, object});
  return Count() - 1;
}

void TStringList::Clear() {
  if (ownsObjects_)
    for (auto& item : items_) delete item.object;
  items_.clear();
}

int TStringList::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (SameTextAscii(items_[i].text, text)) return i;
  return -1;
}
