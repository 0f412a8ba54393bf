#include "platform/text_file.h"

#include <algorithm>
#include <cstring>

namespace pelorin {

bool ChunkLineReader::Fill() {
  if (at_end_) return false;
  std::optional<std::size_t> count = ReadChunk(buffer_.get(), kChunkSize);
  if (!count) failed_ = true;
  if (!count || *count == 0) {
    at_end_ = true;
    return false;
  }
  begin_ = 0;
  end_ = *count;
  return true;
}

std::optional<std::string> ChunkLineReader::ReadLine() {
  std::string line;
  for (;;) {
    if (begin_ == end_ && !Fill()) break;
    if (skip_lf_) {
      skip_lf_ = false;
      if (buffer_[begin_] == '\n') {
        ++begin_;
        continue;
      }
    }
    const char* start = buffer_.get() + begin_;
    const char* stop = buffer_.get() + end_;
    const char* brk = std::find_if(start, stop, [](char c) { return c == '\n' || c == '\r'; });
    line.append(start, brk);
    begin_ = static_cast<std::size_t>(brk - buffer_.get());
    if (brk != stop) {
      skip_lf_ = *brk == '\r';
      ++begin_;
      return line;
    }
  }
  // The end of the data: a last line without a break still counts, but a
  // failed read never hands out a partial line.
  if (failed_ || line.empty()) return std::nullopt;
  return line;
}

std::optional<std::size_t> StringLineReader::ReadChunk(char* buffer, std::size_t capacity) {
  std::size_t count = std::min(capacity, text_.size() - offset_);
  std::memcpy(buffer, text_.data() + offset_, count);
  offset_ += count;
  return count;
}

}  // namespace pelorin
