#include "toolkit/Component.h"

#include <algorithm>

#include "toolkit/StringList.h"

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->Insert(this);
}

TComponent::~TComponent() {
  while (!components_.empty()) delete components_.back();  // each removes itself
  if (owner_) owner_->Remove(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : components_)
    if (SameTextAscii(c->Name(), name)) return c;
  return nullptr;
}

void TComponent::Remove(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component),
                    components_.end());
}
