#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::testing {

// Starts and steers tests/e2e/stand_in_player.exe (see its header comment),
// which must lie beside the test program, and reads what it recorded.
class StandInPlayer {
 public:
  struct Options {
    bool editor = false;
    bool slider = false;
    int status = 0;
    int position = 0;
    std::string playlist;  // copied to playlist_dir\winamp.m3u on request
    std::string playlist_dir;
  };

  // Starts the stand-in and waits until its windows exist; Started() tells
  // whether that worked.
  explicit StandInPlayer(const Options& options);
  StandInPlayer(const StandInPlayer&) = delete;
  StandInPlayer& operator=(const StandInPlayer&) = delete;
  // Ends the stand-in and removes its log.
  ~StandInPlayer();

  bool Started() const { return started_; }
  void SetStatus(int status);
  void SetPosition(int position);
  // Makes the stand-in stop answering for `ms` milliseconds, starting before
  // any message sent after this call is handled.
  void Hang(unsigned ms);
  // Waits until every message posted to it so far has been recorded.
  bool Sync();
  // Every recorded line so far, in order.
  std::vector<std::string> Log() const;
  // The lines recorded since the last call of TakeNew (after a Sync).
  std::vector<std::string> TakeNew();

 private:
  void PostControl(unsigned message, std::uintptr_t wparam);

  std::string log_path_;
  std::string event_name_;
  void* event_ = nullptr;
  void* process_ = nullptr;
  std::uintptr_t window_ = 0;
  std::size_t taken_ = 0;
  bool started_ = false;
};

// A folder of its own under the temporary folder, removed with its files when
// the object goes away.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return path_; }
  // Writes `text` to the file `name` in the folder; returns its full path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string path_;
};

}  // namespace pelorin::testing
