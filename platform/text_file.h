#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// A text file open for reading, line by line; the file is closed when the
// reader goes away.
class LineReader {
 public:
  virtual ~LineReader() = default;
  // The next line without its line break (LF, CR LF or a lone CR), or
  // nullopt at the end of the file or after a read error. A final line break
  // does not start another, empty line.
  virtual std::optional<std::string> ReadLine() = 0;
  // True once a read has failed (as opposed to the end being reached).
  virtual bool Failed() const = 0;
};

// Opening text files read-only.
class TextFiles {
 public:
  virtual ~TextFiles() = default;
  // The file at `path` open for reading (others may keep writing it), or
  // nullptr when it cannot be opened.
  virtual std::unique_ptr<LineReader> Open(const std::string& path) = 0;
  // The time of the last write to the file at `path`, in the platform's own
  // units (only compared with other answers), or nullopt when there is none.
  virtual std::optional<std::int64_t> LastWriteTime(const std::string& path) = 0;
};

// Splits a stream of bytes into lines; a backend only supplies the bytes.
class ChunkLineReader : public LineReader {
 public:
  std::optional<std::string> ReadLine() override;
  bool Failed() const override { return failed_; }

 protected:
  // Reads up to `capacity` bytes into `buffer`: the count read, 0 at the end,
  // nullopt on a read error.
  virtual std::optional<std::size_t> ReadChunk(char* buffer, std::size_t capacity) = 0;

 private:
  bool Fill();

  static constexpr std::size_t kChunkSize = std::size_t{64} * 1024;
  std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(kChunkSize);
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  bool skip_lf_ = false;  // the previous line ended in CR: a following LF belongs to it
};

// A reader over text held in memory, for tests, fuzzing and benchmarks.
class StringLineReader final : public ChunkLineReader {
 public:
  explicit StringLineReader(std::string text) : text_(std::move(text)) {}

 protected:
  std::optional<std::size_t> ReadChunk(char* buffer, std::size_t capacity) override;

 private:
  std::string text_;
  std::size_t offset_ = 0;
};

}  // namespace pelorin
