// Folder jumps over a playlist of 100,000 entries, the way the player writes
// it (an info line and a full path per entry), read from memory so that only
// the parsing and the search are timed.
#include <benchmark/benchmark.h>

#include <string>

#include "actions/playlist_folders.h"

namespace {

constexpr int kEntries = 100000;
constexpr int kEntriesPerFolder = 12;

const std::string& BigPlaylist() {
  static const std::string text = [] {
    std::string playlist = "#EXTM3U\r\n";
    for (int i = 0; i < kEntries; ++i) {
      const int folder = i / kEntriesPerFolder;
      playlist += "#EXTINF:245,Some Artist - Track Title " + std::to_string(i) + "\r\n";
      playlist += "D:\\Music\\Artist " + std::to_string(folder / 10) + "\\Album " +
                  std::to_string(folder) + "\\" + std::to_string(i % kEntriesPerFolder) +
                  " - Track Title.mp3\r\n";
    }
    return playlist;
  }();
  return text;
}

void Jump(benchmark::State& state, pelorin::FolderJump jump, int position) {
  const std::string& text = BigPlaylist();
  for (auto _ : state) {
    state.PauseTiming();
    pelorin::StringLineReader lines(text);
    state.ResumeTiming();
    const bool header = pelorin::ReadPlaylistHeader(lines);
    std::optional<int> target = pelorin::FindFolderTarget(lines, position, jump);
    benchmark::DoNotOptimize(header);
    benchmark::DoNotOptimize(target);
  }
}

// The worst cases read (almost) the whole file: the current entry is the last.
void BM_PreviousFolderFromLastEntry(benchmark::State& state) {
  Jump(state, pelorin::FolderJump::Previous, kEntries - 1);
}
void BM_NextFolderFromLastEntry(benchmark::State& state) {
  Jump(state, pelorin::FolderJump::Next, kEntries - 1);
}
void BM_NextFolderFromFirstEntry(benchmark::State& state) {
  Jump(state, pelorin::FolderJump::Next, 0);
}

BENCHMARK(BM_PreviousFolderFromLastEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextFolderFromLastEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextFolderFromFirstEntry)->Unit(benchmark::kMicrosecond);

}  // namespace
