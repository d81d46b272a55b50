#pragma once
// Hearing of every property set through the published descriptors, so the
// designer's inspector, canvas and undo follow one stream of edits. Code
// that sets fields directly (the report engine while it prepares) is not
// heard, and with no one listening an edit costs one check.
#include <functional>
#include <memory>

#include "host/core/Component.h"
#include "host/core/Variant.h"

namespace zd {

class TPropertyInfo;

// A property's value as a listener receives it: what ValueOf gives (a string
// list as its text), or for an owned object or collection a detached copy,
// which undo assigns back through the same property.
struct TPropertyValue {
  TVariant value;                            // Null for objects and collections
  std::shared_ptr<const TPersistent> copy;   // only for objects and collections
};

// One edit: the object is the one the property belongs to, which may be an
// owned object (a control's frame) or a collection item.
struct TPropertyChange {
  TPersistent& object;
  const TPropertyInfo& property;
  const TPropertyValue& oldValue;
  const TPropertyValue& newValue;
};

using TPropertyListener = std::function<void(const TPropertyChange&)>;

// Keeps a listener registered; it is removed when this goes.
class TPropertySubscription {
 public:
  TPropertySubscription() = default;
  TPropertySubscription(TPropertySubscription&& other) noexcept;
  TPropertySubscription& operator=(TPropertySubscription&& other) noexcept;
  ~TPropertySubscription();

 private:
  friend TPropertySubscription ListenToPropertyChanges(TPropertyListener listener);
  explicit TPropertySubscription(unsigned long id) : id_(id) {}
  unsigned long id_ = 0;
};

// Every property set through a descriptor, on any object, is reported to
// the listener after it took effect; a setter that throws reports nothing.
[[nodiscard]] TPropertySubscription ListenToPropertyChanges(TPropertyListener listener);

// Around one set through a descriptor: takes the old value only when
// someone listens, and reports once the new value is in place.
class TPropertyChangeNotice {
 public:
  TPropertyChangeNotice(TPersistent& object, const TPropertyInfo& property);
  void Send();

 private:
  TPersistent& object_;
  const TPropertyInfo& property_;
  bool heard_;
  TPropertyValue old_;
};

}  // namespace zd
