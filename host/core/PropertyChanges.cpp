#include "host/core/PropertyChanges.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "host/core/Properties.h"

namespace zd {
namespace {

class TListenerList {
 public:
  unsigned long Add(TPropertyListener listener) {
    std::lock_guard lock(mutex_);
    entries_.push_back({++lastId_, std::make_shared<TPropertyListener>(std::move(listener))});
    count_ = entries_.size();
    return lastId_;
  }

  void Remove(unsigned long id) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [id](const TEntry& e) { return e.id == id; });
    count_ = entries_.size();
  }

  bool Empty() const { return count_.load(std::memory_order_relaxed) == 0; }

  // Called outside the lock, so a listener may subscribe or unsubscribe.
  void Tell(const TPropertyChange& change) const {
    std::vector<std::shared_ptr<TPropertyListener>> listeners;
    {
      std::lock_guard lock(mutex_);
      for (const TEntry& e : entries_) listeners.push_back(e.listener);
    }
    for (const auto& listener : listeners) (*listener)(change);
  }

 private:
  struct TEntry {
    unsigned long id;
    std::shared_ptr<TPropertyListener> listener;
  };
  mutable std::mutex mutex_;
  std::vector<TEntry> entries_;
  unsigned long lastId_ = 0;
  std::atomic<size_t> count_ = 0;
};

TListenerList& Listeners() {
  static TListenerList list;
  return list;
}

TPropertyValue CurrentValue(const TPersistent& object, const TPropertyInfo& property) {
  switch (property.Kind()) {
    case TPropKind::Object:
    case TPropKind::Collection: return {TVariant(), property.CopyObject(object)};
    default: return {ValueOf(object, property), nullptr};
  }
}

}  // namespace

TPropertySubscription ListenToPropertyChanges(TPropertyListener listener) {
  return TPropertySubscription(Listeners().Add(std::move(listener)));
}

TPropertySubscription::TPropertySubscription(TPropertySubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

TPropertySubscription& TPropertySubscription::operator=(TPropertySubscription&& other) noexcept {
  if (this != &other) {
    if (id_) Listeners().Remove(id_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

TPropertySubscription::~TPropertySubscription() {
  if (id_) Listeners().Remove(id_);
}

TPropertyChangeNotice::TPropertyChangeNotice(TPersistent& object, const TPropertyInfo& property)
    : object_(object), property_(property), heard_(!Listeners().Empty()) {
  if (heard_) old_ = CurrentValue(object, property);
}

void TPropertyChangeNotice::Send() {
  if (!heard_) return;
  const TPropertyValue now = CurrentValue(object_, property_);
  Listeners().Tell({object_, property_, old_, now});
}

}  // namespace zd
