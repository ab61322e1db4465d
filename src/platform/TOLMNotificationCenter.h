#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TOLMNotification {
  std::string name;
  const void* object = nullptr;  // the sender
  std::any userInfo;
};

class TOLMNotificationCenter;

// Keeps an observation alive; removing it (or destroying it) ends it.
class TOLMObserverToken {
 public:
  TOLMObserverToken() = default;
  TOLMObserverToken(TOLMNotificationCenter* center, std::uint64_t id) : center_(center), id_(id) {}
  TOLMObserverToken(TOLMObserverToken&& other) noexcept;
  TOLMObserverToken& operator=(TOLMObserverToken&& other) noexcept;
  TOLMObserverToken(const TOLMObserverToken&) = delete;
  TOLMObserverToken& operator=(const TOLMObserverToken&) = delete;
  ~TOLMObserverToken() { remove(); }
  void remove();

 private:
  friend class TOLMNotificationCenter;
  TOLMObserverToken(TOLMNotificationCenter* center, std::uint64_t id, std::weak_ptr<void> life)
      : center_(center), id_(id), life_(std::move(life)), tracksLife_(true) {}

  TOLMNotificationCenter* center_ = nullptr;
  std::uint64_t id_ = 0;
  // Lets a token outlive its centre harmlessly.
  std::weak_ptr<void> life_;
  bool tracksLife_ = false;
};

// Observers by name and optional sender; posting calls them synchronously.
// Observers may add or remove observers while a notification is delivered.
class TOLMNotificationCenter {
 public:
  using Handler = std::function<void(const TOLMNotification& notification)>;

  static TOLMNotificationCenter& defaultCenter();

  // sender null: from any sender.
  [[nodiscard]] TOLMObserverToken addObserver(const std::string& name, const void* sender, Handler handler);
  void postNotificationName(const std::string& name, const void* sender = nullptr, std::any userInfo = {});
  void removeObserver(std::uint64_t id);

 private:
  struct Entry {
    Handler handler;
    bool active = true;  // cleared on removal, so a post under way skips it
  };
  struct Observer {
    std::uint64_t id;
    std::string name;
    const void* sender;
    std::shared_ptr<Entry> entry;
  };
  std::vector<Observer> observers_;
  std::uint64_t nextId_ = 1;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

// The launch and shutdown notifications.
inline constexpr const char* NSApplicationWillFinishLaunchingNotification = "NSApplicationWillFinishLaunchingNotification";
inline constexpr const char* NSApplicationDidFinishLaunchingNotification = "NSApplicationDidFinishLaunchingNotification";
inline constexpr const char* NSApplicationWillTerminateNotification = "NSApplicationWillTerminateNotification";
