#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "archive/TOLMArchiver.h"
#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMVirtualRunLoop.h"
#include "preferences/TOLMPreferenceController.h"
#include "preferences/TOLMPreferenceKeys.h"

namespace {

class PreferencesTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  TOLMNotificationCenter center;
  TOLMVirtualRunLoop loop{center, 1'120'000'000.0};
  TOLMDefaultsStore store{(dir.path() + "/Vekkaro.plist").toStdString(), &loop};
  TOLMPreferenceController prefs{store, loop, center};

  void launch() { center.postNotificationName(NSApplicationWillFinishLaunchingNotification); }
  void writeCustomisedStore(double version) {
    store.setBool("written_to", true);
    store.setFloat("preference_version", version);
    store.setFloat("snoozeTime", 9.0);
    store.setString("clk_win", "{{1, 2}, {300, 200}}");
  }
};

TEST_F(PreferencesTest, FirstLaunchWritesEveryKeyInTableOrder) {
  launch();
  std::vector<std::string> expected;
  for (const auto& entry : TOLMPreferenceDefaults()) expected.push_back(entry.key);
  EXPECT_EQ(store.allKeys(), expected);
  EXPECT_EQ(expected.size(), 80u);
  EXPECT_TRUE(store.boolForKey("written_to"));
  EXPECT_DOUBLE_EQ(store.floatForKey("preference_version"), 3.0);
  // Whole numbers are kept as floats and read truncated.
  EXPECT_EQ(std::get<double>(*store.objectForKey("snoozeTime")), 5.0);
  EXPECT_EQ(prefs.snoozeTime(), 5);
  EXPECT_EQ(prefs.messageSize(), 12);
  EXPECT_EQ(prefs.dockedTimeFontName(), "Times-Bold");
  EXPECT_EQ(prefs.clockShape(), "Oval");
  EXPECT_EQ(prefs.kitchenSound(), "Temple");
  EXPECT_TRUE(prefs.alarmsWindowIsOpen());
  EXPECT_FALSE(prefs.kitchenWindowOpen());
  EXPECT_TRUE(prefs.simpleAlarmsEnabled());
  EXPECT_FLOAT_EQ(prefs.matrixSeparatorOpacity(), 0.75f);
  EXPECT_EQ(prefs.clockWindowFrame(), QRectF(25, 600, 213, 120));
  EXPECT_EQ(prefs.desktopCalendarWindowFrame(), QRectF(25, 100, 224, 150));
}

TEST_F(PreferencesTest, OlderOrUnversionedStoresAreResetWhole) {
  struct Case {
    const char* name;
    std::optional<double> version;
  };
  for (const Case& c : {Case{"2.5", 2.5}, Case{"missing version", std::nullopt}, Case{"0.1", 0.1}}) {
    SCOPED_TRACE(c.name);
    writeCustomisedStore(c.version.value_or(0));
    if (!c.version) store.removeObjectForKey("preference_version");
    launch();
    EXPECT_EQ(prefs.snoozeTime(), 5);
    EXPECT_EQ(prefs.clockWindowFrame(), QRectF(25, 600, 213, 120));
    EXPECT_DOUBLE_EQ(store.floatForKey("preference_version"), 3.0);
  }
}

TEST_F(PreferencesTest, CurrentStoreIsUsedAsItIsEvenWithKeysMissing) {
  launch();
  writeCustomisedStore(3.0);
  store.removeObjectForKey("snoozeTime");
  store.setFloat("messageSize", 7.9);
  launch();
  EXPECT_EQ(prefs.snoozeTime(), 0);
  EXPECT_FALSE(store.hasKey("snoozeTime"));
  EXPECT_EQ(prefs.messageSize(), 7);
  EXPECT_EQ(prefs.clockWindowFrame(), QRectF(1, 2, 300, 200));
}

TEST_F(PreferencesTest, SetUpWaitsOneSecondOnTheLoop) {
  const double before = loop.now();
  launch();
  EXPECT_DOUBLE_EQ(loop.now() - before, 1.0);
}

TEST_F(PreferencesTest, BooleansWrittenAsFloatsByThePanel) {
  store.setFloat("speaksAlarmMessages", 1.0);
  store.setFloat("linearVolumeEnabled", 0.0);
  EXPECT_TRUE(prefs.speaksAlarmMessages());
  EXPECT_FALSE(prefs.linearVolumeEnabled());
  EXPECT_FALSE(prefs.shouldDisplayDate());  // missing reads false
}

TEST_F(PreferencesTest, ColoursWithAndWithoutOpacity) {
  launch();
  const QColor today = prefs.todayColor(true);
  EXPECT_EQ(today.rgb(), QColor(Qt::blue).rgb());
  EXPECT_NEAR(today.alphaF(), 0.6, 1e-3);
  EXPECT_EQ(prefs.todayColor(false), QColor::fromRgbF(0, 0, 1, 1));
  EXPECT_EQ(prefs.backgroundColor(true).alpha(), 0);
  EXPECT_EQ(prefs.backgroundColor(true).rgb(), QColor(Qt::white).rgb());
  EXPECT_NEAR(prefs.matrixSeparatorColor(false).redF(), 0.5, 1e-3);
  EXPECT_EQ(prefs.holidayColor(false).rgb(), QColor(Qt::green).rgb());
}

TEST_F(PreferencesTest, DamagedOrMissingColourShowsTheFactoryColour) {
  launch();
  store.setData("messageColor", {0x01, 0x02, 0x03});
  store.removeObjectForKey("interiorColor");
  EXPECT_EQ(prefs.messageColor(), QColor::fromRgbF(0, 0, 0, 1));
  EXPECT_EQ(prefs.interiorColor(false), QColor::fromRgbF(1, 1, 1, 1));
}

TEST_F(PreferencesTest, ImagesAreDrawnAtTheirOpacity) {
  launch();
  const QImage raw = prefs.dockImageDisplayedBehindTime(false);
  const QImage faded = prefs.dockImageDisplayedBehindTime(true);
  ASSERT_EQ(raw.size(), QSize(128, 128));
  ASSERT_EQ(faded.size(), raw.size());
  // The centre of the application image is opaque; drawn at 0.5 it is half so.
  const QPoint centre(64, 40);
  EXPECT_EQ(qAlpha(raw.pixel(centre)), 255);
  EXPECT_NEAR(qAlpha(faded.pixel(centre)), 128, 2);
  const QImage border = prefs.borderImage(true);
  EXPECT_EQ(border.size(), QSize(128, 128));
  EXPECT_EQ(qAlpha(border.pixel(10, 10)), 0);
}

TEST_F(PreferencesTest, WindowFramesFallBackWhenEmptyOrUnreadable) {
  struct Case {
    const char* stored;  // null: key missing
    QRectF clock;
  };
  const QRectF fallback(205, 604, 213, 120);
  for (const Case& c : {Case{"{{10, 20}, {0, 120}}", fallback}, Case{nullptr, fallback}, Case{"garbage", fallback},
                        Case{"{{10, 20}, {100, 50}}", QRectF(10, 20, 100, 50)}}) {
    SCOPED_TRACE(c.stored ? c.stored : "missing");
    if (c.stored) {
      store.setString("clk_win", c.stored);
    } else {
      store.removeObjectForKey("clk_win");
    }
    EXPECT_EQ(prefs.clockWindowFrame(), c.clock);
  }
  store.removeObjectForKey("desktop_cal");
  EXPECT_EQ(prefs.desktopCalendarWindowFrame(), QRectF(190, 530, 224, 150));
  prefs.setDesktopCalendarWindowFrame(QRectF(3.5, 4, 224, 150));
  EXPECT_EQ(prefs.desktopCalendarWindowFrame(), QRectF(3.5, 4, 224, 150));
}

TEST(PreferenceListsTest, SystemSoundsAreTheAiffEntriesWithoutExtension) {
  QTemporaryDir dir;
  for (const char* name : {"Basso.aiff", "Glassaiff", "Ping.wav", "Funk.AIFF", "Two.dots.aiff"}) {
    QFile file(dir.path() + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QDir(dir.path()).mkdir("folder.aiff.d");
  QStringList sounds = TOLMPreferenceController::allSystemSoundsInDirectory(dir.path());
  sounds.sort();
  EXPECT_EQ(sounds, (QStringList{"Basso", "Glassaiff", "Two.dots"}));
  EXPECT_TRUE(TOLMPreferenceController::allSystemSoundsInDirectory(dir.path() + "/nowhere").isEmpty());
  EXPECT_TRUE(TOLMPreferenceController::allSystemSounds().contains("Temple"));
}

TEST(PreferenceListsTest, FontsAreSortedAndTheDefaultIsABoldSerif) {
  const QStringList fonts = TOLMPreferenceController::allFontsInAlphabeticalOrder();
  ASSERT_FALSE(fonts.isEmpty());
  EXPECT_TRUE(std::is_sorted(fonts.begin(), fonts.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; }));
}

}  // namespace

#include <QFontInfo>

#include "platform/TOLMFontNames.h"

namespace {

TEST(FontNamesTest, PostScriptNamesResolveToInstalledFaces) {
  const QFontInfo timesBold(TOLMFontNames::fontWithName("Times-Bold", 12));
  EXPECT_TRUE(timesBold.bold());
  EXPECT_FALSE(timesBold.italic());
  EXPECT_TRUE((QStringList{"Nimbus Roman", "Liberation Serif", "DejaVu Serif"}.contains(timesBold.family())))
      << timesBold.family().toStdString();
  const QFontInfo unknown(TOLMFontNames::fontWithName("NoSuchFont-Italic", 10));
  EXPECT_TRUE(unknown.italic());
  EXPECT_EQ(TOLMFontNames::postScriptName("DejaVu Sans", "Bold Oblique"), "DejaVuSans-BoldOblique");
  EXPECT_EQ(TOLMFontNames::postScriptName("DejaVu Sans", "Book"), "DejaVuSans");
}

}  // namespace
