#include "actions/playlist_folders.h"
#include "actions/winamp_channel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fake_text_files.h"
#include "support/fake_window_messaging.h"

namespace pelorin {
namespace {

using testing::FakeTextFiles;
using testing::FakeWindowMessaging;
using How = FakeWindowMessaging::How;
using Message = FakeWindowMessaging::Message;
using ::testing::ElementsAre;

constexpr WindowId kPlayer = 100;
const std::string kBesidePlayer = "C:\\Winamp\\winamp.m3u";
const std::string kPerUser = "C:\\Users\\me\\AppData\\Roaming\\Winamp\\winamp.m3u";

// A playlist as the player writes it: one info line and one path per entry.
std::string Playlist(const std::vector<std::string>& entries) {
  std::string text = "#EXTM3U\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    text += "#EXTINF:123,Artist - Title " + std::to_string(i) + "\r\n" + entries[i] + "\r\n";
  }
  return text;
}

// Entries in the folders given, one per name.
std::vector<std::string> InFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    entries.push_back("D:\\Music\\" + folders[i] + "\\track" + std::to_string(i) + ".mp3");
  }
  return entries;
}

std::optional<int> Target(const std::vector<std::string>& entries, int position, FolderJump jump) {
  StringLineReader lines(Playlist(entries));
  EXPECT_TRUE(ReadPlaylistHeader(lines));
  return FindFolderTarget(lines, position, jump);
}

struct TargetCase {
  std::vector<std::string> entries;
  int position;
  FolderJump jump;
  std::optional<int> target;
};

class FolderTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(FolderTargetTest, FindsTheStartOfTheNeighbouringFolderRun) {
  const TargetCase& p = GetParam();
  EXPECT_EQ(Target(p.entries, p.position, p.jump), p.target);
}

const auto kAABBB = InFolders({"a", "a", "b", "b", "b"});
constexpr auto kPrev = FolderJump::Previous;
constexpr auto kNext = FolderJump::Next;

INSTANTIATE_TEST_SUITE_P(
    Playlists, FolderTargetTest,
    ::testing::Values(
        TargetCase{kAABBB, 3, kPrev, 0}, TargetCase{kAABBB, 3, kNext, std::nullopt},
        TargetCase{kAABBB, 1, kNext, 2}, TargetCase{kAABBB, 1, kPrev, std::nullopt},
        TargetCase{kAABBB, 2, kPrev, 0},  // also from the first entry of a run
        TargetCase{kAABBB, 0, kNext, 2}, TargetCase{kAABBB, 0, kPrev, std::nullopt},
        TargetCase{kAABBB, 4, kNext, std::nullopt},
        TargetCase{kAABBB, 9, kNext, std::nullopt},  // position past the end
        // Past the end the reading stops at the end of the file, as if in the
        // last run: back to the run before it.
        TargetCase{kAABBB, 9, kPrev, 0}, TargetCase{InFolders({"a", "b", "c"}), 7, kPrev, 1},
        TargetCase{InFolders({"a", "b", "c"}), 2, kPrev, 1},
        // A..Z fold; other letters stand as they are.
        TargetCase{{"D:\\Music\\ABC\\1.mp3", "d:\\music\\abc\\2.mp3", "D:\\x\\3.mp3"}, 0, kNext, 2},
        TargetCase{{"D:\\\xC4\\1.mp3", "D:\\\xE4\\2.mp3"}, 0, kNext, 1},
        // Entries without a backslash form a folder of their own after a folder...
        TargetCase{
            {"D:\\a\\1.mp3", "http://radio/1", "http://radio/2", "D:\\b\\4.mp3"}, 0, kNext, 1},
        TargetCase{
            {"D:\\a\\1.mp3", "http://radio/1", "http://radio/2", "D:\\b\\4.mp3"}, 3, kPrev, 1},
        // ...but at the very start there is no run before the first folder to go back to.
        TargetCase{{"http://radio/1", "D:\\a\\2.mp3", "D:\\a\\3.mp3"}, 2, kPrev, std::nullopt},
        // A blank line is an entry too (with an empty folder).
        TargetCase{{"D:\\a\\1.mp3", "", "D:\\a\\3.mp3"}, 0, kNext, 1}));

TEST(FolderOfEntryTest, CutsBeforeTheLastBackslashAndFoldsOnlyAsciiCapitals) {
  EXPECT_EQ(FolderOfEntry("C:\\Music\\ABBA\\Song.MP3"), "c:\\music\\abba");
  EXPECT_EQ(FolderOfEntry("http://Stream"), "");
  EXPECT_EQ(FolderOfEntry("\xC4\\x"), "\xC4");
}

class PlaylistJumpTest : public ::testing::Test {
 protected:
  PlaylistJumpTest() {
    channel.UsePlaylistFiles(
        PlaylistFileCandidates("C:\\Winamp", "C:\\Users\\me\\AppData\\Roaming"));
    messaging.answer = [this](const Message& m) -> std::intptr_t {
      if (m.lparam == kPlayerStatusQuery) return status;
      if (m.lparam == kPlayerPlaylistPosition) return position;
      return 0;
    };
  }

  void WritePlaylist(const std::string& text, const std::string& path = kBesidePlayer,
                     std::int64_t time = 1) {
    files.files[path] = {text, time};
  }

  std::vector<Message> Jump(FolderJump jump) {
    folders.Jump(kPlayer, jump);
    EXPECT_EQ(files.open_now, 0) << "the playlist file was left open";
    return messaging.messages;
  }

  FakeWindowMessaging messaging;
  FakeTextFiles files;
  WinampChannel channel{messaging, files};
  PlaylistFolders folders{channel};
  std::intptr_t status = kStatusPlaying;
  std::intptr_t position = 1;
};

const Message kPositionQuery{kPlayer, kWmUser, 0, kPlayerPlaylistPosition, How::Sent};
const Message kStatusQuery{kPlayer, kWmUser, 0, kPlayerStatusQuery, How::Sent};
const Message kPlay{kPlayer, kWmCommand, kPlayerPlay, 0, How::Posted};
Message Select(int index) {
  return {kPlayer, kWmUser, static_cast<std::uintptr_t>(index), kPlayerSelectEntry, How::Posted};
}

TEST_F(PlaylistJumpTest, SelectsThenPlaysUnlessStopped) {
  WritePlaylist(Playlist(kAABBB));
  for (std::intptr_t s : {kStatusPlaying, kStatusPaused, kStatusStopped}) {
    status = s;
    messaging.messages.clear();
    if (s == kStatusStopped) {
      EXPECT_THAT(Jump(kNext), ElementsAre(kPositionQuery, Select(2), kStatusQuery));
    } else {
      EXPECT_THAT(Jump(kNext), ElementsAre(kPositionQuery, Select(2), kStatusQuery, kPlay));
    }
  }
}

TEST_F(PlaylistJumpTest, UnreadableFilesDoNothingAndAskNothing) {
  EXPECT_THAT(Jump(kNext), ElementsAre());  // missing
  WritePlaylist("");
  EXPECT_THAT(Jump(kNext), ElementsAre());  // empty
  WritePlaylist("#EXTM3U \r\nD:\\a\\1.mp3\r\nD:\\b\\2.mp3\r\n");
  EXPECT_THAT(Jump(kNext), ElementsAre());  // wrong header
  WritePlaylist("#extm3u\r\nD:\\a\\1.mp3\r\nD:\\b\\2.mp3\r\n");
  EXPECT_THAT(Jump(kNext), ElementsAre());  // the header is case-sensitive
  files.files[kBesidePlayer].open_fails = true;
  EXPECT_THAT(Jump(kNext), ElementsAre());
}

TEST_F(PlaylistJumpTest, NothingFollowsThePositionQueryWithoutTarget) {
  WritePlaylist(Playlist(kAABBB));
  position = 4;
  EXPECT_THAT(Jump(kNext), ElementsAre(kPositionQuery));
  messaging.messages.clear();
  position = 0;
  EXPECT_THAT(Jump(kPrev), ElementsAre(kPositionQuery));
}

TEST_F(PlaylistJumpTest, ReadsTheNewerOfTheTwoPlaylistFiles) {
  WritePlaylist(Playlist(InFolders({"a", "b"})), kBesidePlayer, 5);
  WritePlaylist(Playlist(InFolders({"a", "a", "b"})), kPerUser, 9);
  Jump(kNext);
  EXPECT_THAT(files.opened, ElementsAre(kPerUser));
  EXPECT_THAT(messaging.messages, ElementsAre(kPositionQuery, Select(2), kStatusQuery, kPlay));
}

TEST_F(PlaylistJumpTest, PrefersTheFileBesideThePlayerWhenAsOld) {
  WritePlaylist(Playlist(kAABBB), kBesidePlayer, 5);
  WritePlaylist(Playlist(kAABBB), kPerUser, 5);
  Jump(kNext);
  EXPECT_THAT(files.opened, ElementsAre(kBesidePlayer));
}

TEST(PlaylistFileCandidatesTest, PerUserFolderOnlyWhenKnown) {
  EXPECT_THAT(PlaylistFileCandidates("C:\\Winamp", ""), ElementsAre(kBesidePlayer));
}

// A 32-bit player in Program Files writes its playlist where Windows
// redirects it; a network folder is never redirected.
TEST(PlaylistFileCandidatesTest, RedirectedFileOfAPlayerInAProtectedFolder) {
  const char* local = "C:\\Users\\me\\AppData\\Local";
  EXPECT_THAT(
      PlaylistFileCandidates("C:\\Program Files (x86)\\Winamp", "", local),
      ElementsAre(
          "C:\\Program Files (x86)\\Winamp\\winamp.m3u",
          "C:\\Users\\me\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Winamp\\winamp.m3u"));
  EXPECT_THAT(PlaylistFileCandidates("\\\\server\\Winamp", "", local),
              ElementsAre("\\\\server\\Winamp\\winamp.m3u"));
}

}  // namespace
}  // namespace pelorin
