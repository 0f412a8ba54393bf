#include "platform/text_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

std::vector<std::string> AllLines(LineReader& reader) {
  std::vector<std::string> lines;
  while (std::optional<std::string> line = reader.ReadLine()) lines.push_back(*line);
  return lines;
}

struct LinesCase {
  std::string text;
  std::vector<std::string> lines;
};

class LineSplitTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(LineSplitTest, SplitsAtEveryKindOfLineBreak) {
  StringLineReader reader(GetParam().text);
  EXPECT_EQ(AllLines(reader), GetParam().lines);
  EXPECT_FALSE(reader.Failed());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineSplitTest,
    ::testing::Values(LinesCase{"", {}}, LinesCase{"a", {"a"}}, LinesCase{"a\r\n", {"a"}},
                      LinesCase{"a\r\nb", {"a", "b"}}, LinesCase{"a\nb\n", {"a", "b"}},
                      LinesCase{"a\rb\r", {"a", "b"}}, LinesCase{"\r\n\r\n", {"", ""}},
                      LinesCase{"a\n\nb", {"a", "", "b"}}, LinesCase{"a\r\rb", {"a", "", "b"}},
                      LinesCase{std::string("a\0b\n", 4), {std::string("a\0b", 3)}}));

// Feeds its text a few bytes at a time, then fails if asked to.
class TrickleReader final : public ChunkLineReader {
 public:
  TrickleReader(std::string text, std::size_t chunk, bool fail_at_end)
      : text_(std::move(text)), chunk_(chunk), fail_at_end_(fail_at_end) {}

 protected:
  std::optional<std::size_t> ReadChunk(char* buffer, std::size_t capacity) override {
    std::size_t count = std::min({chunk_, capacity, text_.size() - offset_});
    if (count == 0 && fail_at_end_) return std::nullopt;
    text_.copy(buffer, count, offset_);
    offset_ += count;
    return count;
  }

 private:
  std::string text_;
  std::size_t chunk_;
  bool fail_at_end_;
  std::size_t offset_ = 0;
};

TEST(ChunkLineReaderTest, LinesAndBreaksSpanningChunksStayWhole) {
  for (std::size_t chunk : {1u, 2u, 3u, 7u}) {
    TrickleReader reader("first line\r\nsecond\r\n\r\nlast", chunk, false);
    EXPECT_THAT(AllLines(reader), ::testing::ElementsAre("first line", "second", "", "last"))
        << "chunk " << chunk;
  }
}

TEST(ChunkLineReaderTest, AReadErrorEndsTheFileWithoutAPartialLine) {
  TrickleReader reader("whole\r\npart", 3, true);
  EXPECT_THAT(AllLines(reader), ::testing::ElementsAre("whole"));
  EXPECT_TRUE(reader.Failed());
}

}  // namespace
}  // namespace pelorin
