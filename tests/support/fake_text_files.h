#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/text_file.h"

namespace pelorin::testing {

// Text files in memory by path, each with a write time; counts the readers
// still open so that tests can check every path closes the file.
class FakeTextFiles final : public TextFiles {
 public:
  struct File {
    std::string text;
    std::int64_t write_time = 1;
    bool open_fails = false;  // exists, but cannot be opened
    // Reads fail after this many lines (the file vanished or its share was
    // locked mid-read); negative: never.
    int fail_after_lines = -1;
  };

  std::unique_ptr<LineReader> Open(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end() || it->second.open_fails) return nullptr;
    ++opens;
    opened.push_back(path);
    return std::make_unique<Reader>(it->second.text, it->second.fail_after_lines, open_now);
  }
  std::optional<std::int64_t> LastWriteTime(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.write_time;
  }

  std::map<std::string, File> files;
  std::vector<std::string> opened;
  int opens = 0;
  int open_now = 0;

 private:
  class Reader final : public LineReader {
   public:
    Reader(std::string text, int fail_after_lines, int& open_now)
        : lines_(std::move(text)), lines_left_(fail_after_lines), open_now_(open_now) {
      ++open_now_;
    }
    ~Reader() override { --open_now_; }
    std::optional<std::string> ReadLine() override {
      if (lines_left_ == 0) {
        failed_ = true;
        return std::nullopt;
      }
      if (lines_left_ > 0) --lines_left_;
      return lines_.ReadLine();
    }
    bool Failed() const override { return failed_ || lines_.Failed(); }

   private:
    StringLineReader lines_;
    int lines_left_;
    bool failed_ = false;
    int& open_now_;
  };
};

}  // namespace pelorin::testing
