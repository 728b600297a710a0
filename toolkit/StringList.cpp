#include "toolkit/StringList.h"

namespace {
char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
}  // namespace

bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

std::string UpperCaseAscii(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

std::string LowerCaseAscii(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
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
