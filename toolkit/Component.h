// Components: objects with an owner and a name. An owner frees the components it owns,
// the last one first, when it is destroyed.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Object.h"

class TComponent : public TObject {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  // The owned component of that name (ASCII case ignored), or nullptr.
  TComponent* FindComponent(const std::string& name) const;

private:
  void Insert(TComponent* component) { components_.push_back(component); }
  void Remove(TComponent* component);

  TComponent* owner_;
  std::string name_;
  std::vector<TComponent*> components_;
};
