#include <gtest/gtest.h>

#include <vector>

#include "firing/TOLMFiringQueueFixture.h"
#include "firing/TOLMRamp.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMVirtualRunLoop.h"

namespace {

// One quantity with settings the test changes between steps.
struct Knob {
  bool triangle = false;
  bool linear = false;
  float rate = 1.0f;
  float top = 1.0f;
  float value = 0.5f;

  TOLMRamp::Quantity quantity(float startValue) {
    return {[this] { return triangle; }, [this] { return linear; }, [this] { return rate; },
            [this] { return top; },      [this] { return value; },  [this](float v) { value = v; },
            startValue};
  }
};

class RampSteps : public ::testing::Test {
 protected:
  // The value after each of the next count steps.
  std::vector<float> steps(int count) {
    std::vector<float> values;
    for (int i = 0; i < count; ++i) {
      loop.advance(TOLMRamp::stepPeriod);
      values.push_back(knob.value);
    }
    return values;
  }

  TOLMNotificationCenter center;
  TOLMVirtualRunLoop loop{center, 1000.0};
  Knob knob;
};

void expectValues(const std::vector<float>& actual, const std::vector<float>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5) << "step " << i + 1;
}

TEST_F(RampSteps, LinearClimbsOnceFromItsStartValueToTheTopAndEnds) {
  knob.linear = true;
  knob.rate = 0.25f;
  TOLMRamp ramp(loop, knob.quantity(0.0f));
  ramp.start();
  EXPECT_EQ(knob.value, 0.0f);

  const std::vector<float> values = steps(22);
  for (int i = 0; i < 19; ++i) EXPECT_NEAR(values[i], 0.05f * (i + 1), 1e-5) << "step " << i + 1;
  EXPECT_EQ(values.back(), 1.0f);  // exactly the top, never past it
  EXPECT_FALSE(ramp.isStepping());
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);
}

TEST_F(RampSteps, TriangleClimbsToTheTopFallsToTheLowPointAndClimbsAgain) {
  knob.triangle = true;
  knob.rate = 0.5f;
  knob.top = 0.8f;
  TOLMRamp ramp(loop, knob.quantity(0.0f));
  ramp.start();

  const std::vector<float> values = steps(18);
  // About 1.6 s up, 1.6 s down, then up again.
  expectValues(values, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f, 0.2f,
                        0.1f, 0.01f, 0.11f, 0.21f});
  EXPECT_TRUE(ramp.isStepping());
  ramp.stop();
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);
}

TEST_F(RampSteps, SettingsAreReadAgainAtEveryStep) {
  knob.triangle = true;
  knob.linear = true;  // the triangle wins
  knob.rate = 2.5f;
  TOLMRamp ramp(loop, knob.quantity(0.01f));
  ramp.start();
  EXPECT_EQ(knob.value, 0.01f);
  expectValues(steps(3), {0.51f, 1.0f, 0.5f});

  // Switched to linear mid-ramp: it climbs back to the top and ends.
  knob.triangle = false;
  expectValues(steps(2), {1.0f, 1.0f});
  EXPECT_FALSE(ramp.isStepping());
}

TEST_F(RampSteps, ARateOfZeroHoldsTheStartValueWhileStepping) {
  knob.linear = true;
  knob.rate = 0.0f;
  TOLMRamp ramp(loop, knob.quantity(0.01f));
  ramp.start();
  expectValues(steps(10), std::vector<float>(10, 0.01f));
  EXPECT_TRUE(ramp.isStepping());
}

TEST_F(RampSteps, StartingARampThatRunsDoesNotRestartIt) {
  knob.linear = true;
  TOLMRamp ramp(loop, knob.quantity(0.0f));
  ramp.start();
  steps(2);
  ramp.start();
  EXPECT_NEAR(knob.value, 0.4f, 1e-5);
  EXPECT_EQ(loop.scheduledTimerCount(), 1u);

  knob.linear = false;
  Knob idle;
  TOLMRamp off(loop, idle.quantity(0.0f));
  off.start();  // no ramp chosen: nothing changes
  EXPECT_EQ(idle.value, 0.5f);
  EXPECT_FALSE(off.isStepping());
}

// The ramps as the queue drives them.
class QueueRamps : public TOLMFiringQueueFixture {};

TEST_F(QueueRamps, EverySongAndEveryEndOfASnoozeStartsTheRampsFromTheirStartValues) {
  store->setBool("linearVolumeEnabled", true);
  store->setBool("linearSpeedEnabled", true);
  store->setFloat("customVolumeRate", 0.25);
  store->setFloat("snoozeTime", 1);
  queue->applyPrefChanges();
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 30, 5));
  EXPECT_EQ(player->volume(), 0.0f);
  EXPECT_EQ(player->rate(), 0.01f);  // nearly still

  // A little past each step: fire dates add up 0.2 s in floating point.
  loop.advance(1.01);
  EXPECT_NEAR(player->volume(), 0.25f, 1e-5);
  loop.advance(4.0);
  EXPECT_EQ(player->volume(), 1.0f);
  EXPECT_EQ(player->rate(), 1.0f);

  queue->snooze();
  advanceTo(elapsed() + 60);
  EXPECT_TRUE(player->isPlaying());
  EXPECT_EQ(player->volume(), 0.0f);
  loop.advance(0.41);
  EXPECT_NEAR(player->volume(), 0.1f, 1e-5);

  player->endSong();
  advanceTo(elapsed() + 7);
  EXPECT_EQ(player->played.size(), 2u);
  EXPECT_LT(player->volume(), 0.5f);  // climbing again from 0
}

TEST_F(QueueRamps, SwitchingARampOffSetsThePreferredValueAtOnceAndEndsItsSteps) {
  store->setBool("sinusoidalVolumeEnabled", true);
  store->setBool("sinusoidalSpeedEnabled", true);
  store->setFloat("musicVolume", 0.8);
  queue->applyPrefChanges();
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 30, 5));
  loop.advance(0.4);
  const std::size_t withRamps = loop.scheduledTimerCount();

  // The speed ramp goes on; the pending volume step finds the top reached.
  store->setBool("sinusoidalVolumeEnabled", false);
  queue->applyPrefChanges();
  EXPECT_EQ(player->volume(), 0.8f);
  loop.advance(1.0);
  EXPECT_EQ(player->volume(), 0.8f);
  EXPECT_EQ(loop.scheduledTimerCount(), withRamps - 1);

  store->setBool("sinusoidalSpeedEnabled", false);
  store->setFloat("musicSpeed", 1.25);
  queue->applyPrefChanges();
  EXPECT_EQ(player->rate(), 1.25f);
  EXPECT_EQ(loop.scheduledTimerCount(), withRamps - 2);

  // Switched on while a song plays, a ramp starts at once.
  store->setBool("linearVolumeEnabled", true);
  queue->applyPrefChanges();
  EXPECT_EQ(player->volume(), 0.0f);
  EXPECT_EQ(loop.scheduledTimerCount(), withRamps - 1);
}

}  // namespace
