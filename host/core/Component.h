#pragma once
// Persistent objects and owned components: an owner deletes what it owns, and
// every component that asked for it hears about a removal before the object
// goes away, so no one keeps a dangling reference.
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/core/Errors.h"

namespace zd {

class TClassProperties;

class EConvertError : public EZdError {
 public:
  using EZdError::EZdError;
};

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual std::string ClassName() const { return "TPersistent"; }
  // Copies the contents of source; the default refuses any source, as a
  // class that does not know how to copy must say so rather than do nothing.
  virtual void Assign(const TPersistent& source);
  // Published properties of the object's class, for streaming, the object
  // inspector and the designer; nullptr when the class publishes none.
  virtual const TClassProperties* PublishedProperties() const { return nullptr; }
};

enum class TOperation { opInsert, opRemove };

class TComponent;
using TNotifyEvent = std::function<void(TComponent* sender)>;

enum TComponentStateFlag : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  int ComponentCount() const { return int(components_.size()); }
  TComponent* FindComponent(const std::string& name) const;  // case-insensitive

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);

  unsigned ComponentState() const { return state_; }
  bool IsDesigning() const { return state_ & csDesigning; }
  void SetDesigning(bool on);  // also for owned components
  void SetLoading(bool on);

  // Moves this component under a new owner (or none: the caller then owns it).
  void InsertComponent(TComponent* child);
  void RemoveComponent(TComponent* child);

  // `other` will be told through Notification(this, opRemove) when this
  // component is destroyed, even if it is not the owner.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

 protected:
  // Owner and free-notification subscribers hear of insertions and removals.
  virtual void Notification(TComponent* component, TOperation operation);
  // Hears of the insertions and removals of its owner's other components
  // too (a report of its datasets); others hear only of their own.
  void ListenToSiblings();

 private:
  void notifyAll(TComponent* component, TOperation operation);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  // Owned components by upper-case name, and those that listen to siblings:
  // a form may own a hundred thousand controls.
  std::unordered_map<std::string, TComponent*> byName_;
  std::vector<TComponent*> listeners_;
  bool listensToSiblings_ = false;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  unsigned state_ = 0;
};

}  // namespace zd
