// The root of the toolkit's class tree: anything that a list may carry as its object.
#pragma once

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};
