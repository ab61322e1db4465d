#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firing/TOLMCommandLauncher.h"
#include "firing/TOLMFiringStandIns.h"

namespace {

using Lines = std::vector<std::string>;

class CommandLauncher : public ::testing::Test {
 protected:
  TOLMRecordingCommandRunner runner;
  Lines problems;
  TOLMCommandLauncher launcher{runner, [this](const std::string& line) { problems.push_back(line); }};
};

TEST_F(CommandLauncher, CommandsRunInListOrderEachAfterThePreviousHasExited) {
  launcher.launchTasksForCommandArray({"first", "second", "third"});
  EXPECT_EQ(runner.started(), Lines{"first"});
  runner.finish(0);
  EXPECT_EQ(runner.started(), (Lines{"first", "second"}));
  runner.finish(1);
  EXPECT_EQ(runner.started(), (Lines{"first", "second", "third"}));
  runner.finish(2);
  EXPECT_EQ(launcher.runningListCount(), 0u);
  EXPECT_TRUE(problems.empty());
}

TEST_F(CommandLauncher, AFailureIsToldAndTheNextCommandStillRuns) {
  launcher.launchTasksForCommandArray({"false", "  ", "echo next"});
  runner.finish(0, TOLMStatus::failure("exit status 1"));
  EXPECT_EQ(problems, Lines{"The command \"false\" failed: exit status 1"});
  EXPECT_EQ(runner.started(), (Lines{"false", "echo next"}));  // the blank line is skipped
}

TEST_F(CommandLauncher, ACommandThatHangsHoldsBackOnlyItsOwnList) {
  launcher.launchTasksForCommandArray({"sleep forever", "after the sleep"});
  launcher.launchTasksForCommandArray({"other alarm", "other alarm again"});
  EXPECT_EQ(runner.started(), (Lines{"sleep forever", "other alarm"}));
  runner.finish(1);
  EXPECT_EQ(runner.started(), (Lines{"sleep forever", "other alarm", "other alarm again"}));
  EXPECT_EQ(launcher.runningListCount(), 2u);
}

TEST_F(CommandLauncher, ACompletionAfterTheLauncherIsGoneIsIgnored) {
  TOLMRecordingCommandRunner lateRunner;
  {
    TOLMCommandLauncher shortLived(lateRunner, [](const std::string&) { FAIL() << "no owner to tell"; });
    shortLived.launchTasksForCommandArray({"slow", "never"});
  }
  lateRunner.finish(0, TOLMStatus::failure("exit status 1"));
  EXPECT_EQ(lateRunner.started(), Lines{"slow"});
}

}  // namespace
