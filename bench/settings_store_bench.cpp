// How long loading and saving the settings take on a full configuration
// file (the properties window loads them on every show), and how the
// profile reader copes with a very large file.
#include <benchmark/benchmark.h>

#include <map>

#include "config/profile.h"
#include "config/settings_store.h"

namespace {

class MemoryFiles final : public pelorin::FileSystem {
 public:
  pelorin::FileContents ReadWholeFile(const std::string& path) override {
    auto found = files.find(path);
    if (found == files.end()) return {pelorin::ReadStatus::NotFound, {}};
    return {pelorin::ReadStatus::Ok, found->second};
  }
  pelorin::OsStatus WriteFileAtomically(const std::string& path, std::string_view bytes) override {
    files[path] = std::string(bytes);
    return {};
  }
  pelorin::OsStatus CreateNewFile(const std::string& path, std::string_view bytes) override {
    if (files.emplace(path, std::string(bytes)).second) return {};
    return pelorin::OsError{80, "CreateFile", path};  // ERROR_FILE_EXISTS
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool FolderTakesNewFiles(const std::string&) override { return true; }
  pelorin::OsStatus CreateFolder(const std::string&) override { return {}; }
  std::map<std::string, std::string> files;
};

// No registry at all: every key fails to open, as on a locked-down system.
class NoRegistry final : public pelorin::Registry {
 public:
  pelorin::Opened<pelorin::RegistryKey> OpenInView(pelorin::RegistryView, pelorin::RegistryRoot,
                                                   const std::string& path, pelorin::KeyAccess,
                                                   bool) override {
    return pelorin::OsError{5, "RegOpenKeyEx", path};  // ERROR_ACCESS_DENIED
  }
};

void BM_ReadSettings(benchmark::State& state) {
  MemoryFiles files;
  NoRegistry registry;
  pelorin::SettingsStore store(files, registry, "C:\\P\\pelorin.exe");
  store.Open();
  store.WriteSettings(pelorin::Settings{});
  pelorin::Settings settings;
  for (auto _ : state) {
    store.ReadSettings(settings);
    benchmark::DoNotOptimize(settings);
  }
}
BENCHMARK(BM_ReadSettings);

void BM_WriteSettings(benchmark::State& state) {
  MemoryFiles files;
  NoRegistry registry;
  pelorin::SettingsStore store(files, registry, "C:\\P\\pelorin.exe");
  store.Open();
  pelorin::Settings settings;
  for (auto _ : state) store.WriteSettings(settings);
}
BENCHMARK(BM_WriteSettings);

void BM_ParseTenMegabytes(benchmark::State& state) {
  std::string big = "[Options]\nWarn=0\n[Filler]\n";
  while (big.size() < 10u * 1024 * 1024) big += "key=" + std::string(100, 'f') + "\n";
  for (auto _ : state) {
    pelorin::ProfileDocument document = pelorin::ProfileDocument::Parse(big);
    benchmark::DoNotOptimize(document.Get("Options", "Warn"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * big.size()));
}
BENCHMARK(BM_ParseTenMegabytes)->Unit(benchmark::kMillisecond);

}  // namespace
