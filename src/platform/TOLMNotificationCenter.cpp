#include "platform/TOLMNotificationCenter.h"

#include <algorithm>

TOLMObserverToken::TOLMObserverToken(TOLMObserverToken&& other) noexcept
    : center_(other.center_), id_(other.id_), life_(std::move(other.life_)), tracksLife_(other.tracksLife_) {
  other.center_ = nullptr;
  other.id_ = 0;
  other.tracksLife_ = false;
}

TOLMObserverToken& TOLMObserverToken::operator=(TOLMObserverToken&& other) noexcept {
  if (this != &other) {
    remove();
    center_ = other.center_;
    id_ = other.id_;
    life_ = std::move(other.life_);
    tracksLife_ = other.tracksLife_;
    other.center_ = nullptr;
    other.id_ = 0;
    other.tracksLife_ = false;
  }
  return *this;
}

void TOLMObserverToken::remove() {
  TOLMNotificationCenter* center = center_;
  center_ = nullptr;
  if (!center) return;
  if (tracksLife_ && life_.expired()) return;
  center->removeObserver(id_);
}

TOLMNotificationCenter& TOLMNotificationCenter::defaultCenter() {
  // Never destroyed: tokens held by other statics may end after main returns.
  static TOLMNotificationCenter* center = new TOLMNotificationCenter;
  return *center;
}

TOLMObserverToken TOLMNotificationCenter::addObserver(const std::string& name, const void* sender, Handler handler) {
  const std::uint64_t id = nextId_++;
  observers_.push_back(Observer{id, name, sender, std::make_shared<Entry>(Entry{std::move(handler), true})});
  return TOLMObserverToken(this, id, life_);
}

void TOLMNotificationCenter::postNotificationName(const std::string& name, const void* sender, std::any userInfo) {
  // Observers added during the post hear the next one; removed ones are skipped.
  std::vector<std::shared_ptr<Entry>> targets;
  for (const Observer& observer : observers_) {
    if (observer.name == name && (observer.sender == nullptr || observer.sender == sender)) {
      targets.push_back(observer.entry);
    }
  }
  if (targets.empty()) return;
  const TOLMNotification notification{name, sender, std::move(userInfo)};
  for (const auto& entry : targets) {
    if (entry->active && entry->handler) entry->handler(notification);
  }
}

void TOLMNotificationCenter::removeObserver(std::uint64_t id) {
  const auto it = std::find_if(observers_.begin(), observers_.end(),
                               [id](const Observer& observer) { return observer.id == id; });
  if (it == observers_.end()) return;
  it->entry->active = false;
  observers_.erase(it);
}
