#include "host/core/Component.h"

#include <algorithm>

#include "host/core/TextUtil.h"

namespace zd {

void TPersistent::Assign(const TPersistent& source) {
  throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Tell subscribers first; they may still look at us while we are whole.
  // One at a time from the live list: a handler may destroy another
  // subscriber, which then unsubscribes itself.
  while (!freeNotifies_.empty()) {
    TComponent* s = freeNotifies_.back();
    RemoveFreeNotification(s);
    s->Notification(this, TOperation::opRemove);
  }
  // Owned components die in reverse creation order.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    delete child;  // the child's destructor removes it from components_
  }
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  const auto found = byName_.find(UpperCase(name));
  return found == byName_.end() ? nullptr : found->second;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (owner_ && !name.empty()) {
    TComponent* clash = owner_->FindComponent(name);
    if (clash && clash != this)
      throw EConvertError("A component named " + name + " already exists");
  }
  if (owner_) {
    if (!name_.empty()) owner_->byName_.erase(UpperCase(name_));
    if (!name.empty()) owner_->byName_[UpperCase(name)] = this;
  }
  name_ = name;
}

void TComponent::SetDesigning(bool on) {
  state_ = on ? (state_ | csDesigning) : (state_ & ~unsigned(csDesigning));
  for (TComponent* c : components_) c->SetDesigning(on);
}

void TComponent::SetLoading(bool on) {
  state_ = on ? (state_ | csLoading) : (state_ & ~unsigned(csLoading));
}

void TComponent::InsertComponent(TComponent* child) {
  if (!child || child->owner_ == this) return;
  for (const TComponent* o = this; o; o = o->owner_)
    if (o == child) throw EConvertError("A component cannot own itself or its owner");
  if (TComponent* clash = FindComponent(child->name_))
    throw EConvertError("A component named " + clash->name_ + " already exists");
  if (child->owner_) child->owner_->RemoveComponent(child);
  components_.push_back(child);
  child->owner_ = this;
  if (!child->name_.empty()) byName_[UpperCase(child->name_)] = child;
  if (child->listensToSiblings_) listeners_.push_back(child);
  notifyAll(child, TOperation::opInsert);
}

void TComponent::ListenToSiblings() {
  if (listensToSiblings_) return;
  listensToSiblings_ = true;
  if (owner_) owner_->listeners_.push_back(this);
}

void TComponent::RemoveComponent(TComponent* child) {
  if (!child || child->owner_ != this) return;
  notifyAll(child, TOperation::opRemove);
  // A handler may already have moved the child elsewhere.
  if (child->owner_ != this) return;
  // Searched from the back: owners free their components last first.
  const auto it = std::find(components_.rbegin(), components_.rend(), child);
  components_.erase(std::next(it).base());
  if (!child->name_.empty()) byName_.erase(UpperCase(child->name_));
  if (child->listensToSiblings_) listeners_.erase(std::find(listeners_.begin(), listeners_.end(), child));
  child->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
    freeNotifies_.push_back(other);
    other->FreeNotification(this);  // symmetric, so either side may die first
  }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), other);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  other->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::notifyAll(TComponent* component, TOperation operation) {
  Notification(component, operation);
  // Siblings can hold references to each other (a report to its dataset).
  for (TComponent* c : std::vector<TComponent*>(listeners_))
    if (c != component) c->Notification(component, operation);
}

}  // namespace zd
