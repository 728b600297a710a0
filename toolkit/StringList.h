// An ordered list of strings, each with an optional attached object. The list owns the
// objects only when OwnsObjects is set; otherwise they stay their creator's to free.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Object.h"

// Compares two texts, ignoring the case of the ASCII letters A-Z only.
bool SameTextAscii(const std::string& a, const std::string& b);
// Maps the ASCII letters a-z to upper case and leaves every other character alone; a
// letter that is the second byte of a double-byte character is no letter (Characters.h).
std::string UpperCaseAscii(std::string text);
// Maps the ASCII letters A-Z to lower case and leaves every other character alone.
std::string LowerCaseAscii(std::string text);

class TStringList : public TObject {
public:
  explicit TStringList(bool ownsObjects = false) : ownsObjects_(ownsObjects) {}
  ~TStringList() override;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int index) const { return items_.at(index).text; }
  const std::string& operator[](int index) const { return Strings(index); }
  TObject* Objects(int index) const { return items_.at(index).object; }

  int Add(const std::string& text) { return AddObject(text, nullptr); }
  int AddObject(const std::string& text, TObject* object);
  void Clear();
  // Index of the first line equal to text without regard to ASCII case, or -1.
  int IndexOf(const std::string& text) const;

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }

private:
  struct Item {
    std::string text;
    TObject* object;
  };
  std::vector<Item> items_;
  bool ownsObjects_;
};
