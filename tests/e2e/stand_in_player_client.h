#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::e2e {
class ChildProcess;
}

namespace pelorin::testing {

// Starts and steers tests/e2e/stand_in_player.exe (see its header comment)
// and reads what it recorded. Used by the end-to-end tests and by the
// measuring probe.
class StandInPlayer {
 public:
  struct Options {
    bool editor = false;
    bool slider = false;
    int status = 0;
    int position = 0;
    std::string playlist;  // copied to playlist_dir\winamp.m3u on request
    std::string playlist_dir;
    // Each line ends in the moment of arrival (QueryPerformanceCounter).
    bool timestamps = false;
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
  // The whole lines recorded since the last call of TakeNew; after a Sync,
  // every message posted before it. Reads only what the log has grown by.
  std::vector<std::string> TakeNew();

 private:
  void PostControl(unsigned message, std::uintptr_t wparam);

  std::string log_path_;
  std::string event_name_;
  void* event_ = nullptr;
  std::unique_ptr<e2e::ChildProcess> process_;
  std::uintptr_t window_ = 0;
  long long read_offset_ = 0;
  std::string partial_line_;
  bool started_ = false;
};

}  // namespace pelorin::testing
