#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/TOLMNotificationCenter.h"

namespace {

int senderA = 0;
int senderB = 0;

struct Post {
  const char* name;
  const void* sender;
};

struct MatchCase {
  const char* label;
  Post post;
  std::vector<std::string> heard;
};

TEST(NotificationCenterTest, DeliversByNameAndOptionalSender) {
  TOLMNotificationCenter center;
  std::vector<std::string> heard;
  const auto listen = [&](const char* label, const char* name, const void* sender) {
    return center.addObserver(name, sender, [&heard, label](const TOLMNotification&) { heard.push_back(label); });
  };
  auto any = listen("any", "Frame", nullptr);
  auto onlyA = listen("onlyA", "Frame", &senderA);
  auto onlyB = listen("onlyB", "Frame", &senderB);
  auto other = listen("other", "Close", nullptr);

  const std::vector<MatchCase> cases = {
      {"from A", {"Frame", &senderA}, {"any", "onlyA"}},
      {"from B", {"Frame", &senderB}, {"any", "onlyB"}},
      {"from nobody", {"Frame", nullptr}, {"any"}},
      {"another name", {"Close", &senderA}, {"other"}},
      {"a name nobody observes", {"Unheard", nullptr}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    heard.clear();
    center.postNotificationName(c.post.name, c.post.sender);
    EXPECT_EQ(heard, c.heard);
  }
}

TEST(NotificationCenterTest, HandsTheNotificationToTheObserver) {
  TOLMNotificationCenter center;
  TOLMNotification seen;
  auto token = center.addObserver("Tick", nullptr, [&](const TOLMNotification& n) { seen = n; });
  center.postNotificationName("Tick", &senderA, std::string("payload"));
  EXPECT_EQ(seen.name, "Tick");
  EXPECT_EQ(seen.object, &senderA);
  EXPECT_EQ(std::any_cast<std::string>(seen.userInfo), "payload");
}

TEST(NotificationCenterTest, ObserversMayChangeTheListDuringAPost) {
  TOLMNotificationCenter center;
  std::vector<std::string> heard;
  TOLMObserverToken self, later, added;
  // Removes itself, removes an observer not yet called, and adds one.
  self = center.addObserver("Launch", nullptr, [&](const TOLMNotification&) {
    heard.push_back("self");
    self.remove();
    later.remove();
    added = center.addObserver("Launch", nullptr, [&](const TOLMNotification&) { heard.push_back("added"); });
    center.postNotificationName("Nested");
  });
  auto nested = center.addObserver("Nested", nullptr, [&](const TOLMNotification&) { heard.push_back("nested"); });
  later = center.addObserver("Launch", nullptr, [&](const TOLMNotification&) { heard.push_back("later"); });

  center.postNotificationName("Launch");
  EXPECT_EQ(heard, (std::vector<std::string>{"self", "nested"}));
  heard.clear();
  center.postNotificationName("Launch");
  EXPECT_EQ(heard, (std::vector<std::string>{"added"}));
}

TEST(NotificationCenterTest, TokensEndTheirObservation) {
  TOLMNotificationCenter center;
  int count = 0;
  {
    auto scoped = center.addObserver("Tick", nullptr, [&](const TOLMNotification&) { ++count; });
    TOLMObserverToken moved = std::move(scoped);
    scoped.remove();  // moved-from: harmless
    center.postNotificationName("Tick");
    EXPECT_EQ(count, 1);
    TOLMObserverToken assigned;
    assigned = std::move(moved);
    center.postNotificationName("Tick");
    EXPECT_EQ(count, 2);
  }
  center.postNotificationName("Tick");
  EXPECT_EQ(count, 2);

  // A token that outlives its centre ends harmlessly.
  TOLMObserverToken orphan;
  {
    TOLMNotificationCenter shortLived;
    orphan = shortLived.addObserver("Tick", nullptr, [](const TOLMNotification&) {});
  }
  orphan.remove();
}

TEST(NotificationCenterTest, DefaultCenterIsOneObject) {
  EXPECT_EQ(&TOLMNotificationCenter::defaultCenter(), &TOLMNotificationCenter::defaultCenter());
}

}  // namespace
