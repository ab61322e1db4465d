#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "firing/TOLMMusicLibrary.h"
#include "firing/TOLMSongChooser.h"

namespace {

class SongChooser : public ::testing::Test {
 protected:
  SongChooser() { srandom(7); }

  std::string file(const QString& relative, const QByteArray& content = "x") {
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path.toStdString();
  }
  std::string folder(const QString& relative) {
    QDir().mkpath(dir.filePath(relative));
    return dir.filePath(relative).toStdString();
  }
  std::string library(const std::string& tracksDict) {
    return file(QStringLiteral("Library.xml"),
                QByteArray::fromStdString(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                    "<plist version=\"1.0\"><dict>"
                    "<key>Major Version</key><integer>1</integer>"
                    "<key>Show Content Ratings</key><true/>" +
                    tracksDict +
                    "<key>Playlists</key><array><dict><key>Name</key><string>Library</string></dict></array>"
                    "</dict></plist>\n"));
  }

  QTemporaryDir dir;
};

TEST_F(SongChooser, ARandomFolderSongIsOneOfItsFilesWithASongExtension) {
  const std::string songs = folder(QStringLiteral("songs"));
  for (const char* name : {"one.MP3", "two.aif", "cover.jpg", "notes.txt", "three.wav.bak"}) {
    file(QStringLiteral("songs/") + QLatin1String(name));
  }
  folder(QStringLiteral("songs/sub.wav"));  // a folder is no song

  std::set<std::string> picked;
  for (int i = 0; i < 60; ++i) {
    const auto song = TOLMSongChooser::randomSongForDirectory(songs);
    ASSERT_TRUE(song.ok()) << song.error();
    picked.insert(song.value().fileName().toStdString());
  }
  EXPECT_EQ(picked, (std::set<std::string>{"one.MP3", "two.aif"}));
}

TEST_F(SongChooser, ASourceThatHoldsNoSongSaysWhy) {
  const std::string empty = folder(QStringLiteral("empty"));
  file(QStringLiteral("empty/readme.txt"));
  struct Case {
    TOLMResult<QUrl> result;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {TOLMSongChooser::randomSongForDirectory(empty), "holds no song"},
      {TOLMSongChooser::randomSongForDirectory(dir.filePath("absent").toStdString()), "does not exist"},
      {TOLMSongChooser::songForFile(dir.filePath("absent.wav").toStdString()), "does not exist"},
      {TOLMSongChooser::songForFile(empty), "is a folder"},
      {TOLMSongChooser::songForFile(""), "no file is chosen"},
      {TOLMSongChooser::songForURL("just words"), "is not a URL"},
      {TOLMSongChooser::songForURL("file:///nowhere/at/all.mp3"), "does not exist"},
      {TOLMSongChooser::songForXML(dir.filePath("absent.xml").toStdString()), "cannot be read"},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.result.ok()) << c.reason;
    EXPECT_NE(c.result.error().find(c.reason), std::string::npos) << c.result.error();
  }
}

TEST_F(SongChooser, TheFirstEnabledSourceIsUsedAndNoneGivesNoSong) {
  TOLMAlarm alarm;
  EXPECT_FALSE(TOLMSongChooser::songForAlarm(alarm).has_value());

  const std::string manual = file(QStringLiteral("manual.wav"));
  alarm.setManualSongLocation(manual);
  alarm.setUrlSongLocation("https://radio.example/stream.mp3");
  alarm.setManualSongEnabled(true);
  auto song = TOLMSongChooser::songForAlarm(alarm);
  ASSERT_TRUE(song && song->ok());
  EXPECT_EQ(song->value(), QUrl::fromLocalFile(QString::fromStdString(manual)));

  alarm.setUrlSongEnabled(true);
  song = TOLMSongChooser::songForAlarm(alarm);
  ASSERT_TRUE(song && song->ok());
  EXPECT_EQ(song->value(), QUrl(QStringLiteral("https://radio.example/stream.mp3")));
}

TEST_F(SongChooser, AMusicLibraryTrackIsPickedFromItsTracksLocations) {
  const std::string a = file(QStringLiteral("Music/My Song.wav"));
  const std::string b = file(QStringLiteral("Music/Other.mp3"));
  const QString encodedA = QUrl::fromLocalFile(QString::fromStdString(a)).toString(QUrl::FullyEncoded);
  const std::string path = library(
      "<key>Tracks</key><dict>"
      "<key>101</key><dict><key>Name</key><string>My Song</string><key>Location</key><string>" +
      encodedA.toStdString().replace(0, 7, "file://localhost") +
      "</string></dict>"
      "<key>102</key><dict><key>Name</key><string>No file</string><key>Track ID</key><integer>102</integer></dict>"
      "<key>103</key><dict><key>Location</key><string>" +
      QUrl::fromLocalFile(QString::fromStdString(b)).toString().toStdString() + "</string></dict></dict>");

  std::set<std::string> picked;
  for (int i = 0; i < 40; ++i) {
    const auto song = TOLMSongChooser::songForXML(path);
    ASSERT_TRUE(song.ok()) << song.error();
    picked.insert(song.value().toLocalFile().toStdString());
  }
  EXPECT_EQ(picked, (std::set<std::string>{a, b}));
}

TEST_F(SongChooser, ALibraryWithoutUsableTracksGivesNoSong) {
  struct Case {
    const char* name;
    std::string content;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"no Tracks key", "", "has no \"Tracks\""},
      {"empty Tracks", "<key>Tracks</key><dict></dict>", "has no tracks"},
      {"Tracks not a dictionary", "<key>Tracks</key><array/>", "has no \"Tracks\""},
      {"broken XML", "<key>Tracks</key><dict><key>1</key><dict>", "not a readable property list"},
  };
  for (const Case& c : cases) {
    const auto song = TOLMSongChooser::songForXML(library(c.content));
    ASSERT_FALSE(song.ok()) << c.name;
    EXPECT_NE(song.error().find(c.reason), std::string::npos) << c.name << ": " << song.error();
  }
  const auto notAPlist = TOLMMusicLibrary::trackLocationsInData("<html><body/></html>");
  EXPECT_FALSE(notAPlist.ok());
}

TEST(RandomNumberInRange, StaysWithinLocationAndLocationPlusLength) {
  srandom(3);
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    const int n = randomNumberInRange(5, 3);
    ASSERT_GE(n, 5);
    ASSERT_LT(n, 8);
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(randomNumberInRange(4, 1), 4);
}

}  // namespace
