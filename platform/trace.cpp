#include "platform/trace.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pelorin {
namespace {

// The sink of the running session; none while the trace is off.
TraceSink* active_sink = nullptr;

// Each line tells where it comes from: the debug output mixes every
// program's lines.
constexpr std::string_view kPrefix = "Pelorin: ";

class StandardError final : public TraceSink {
 public:
  void WriteLine(std::string_view line) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  }
};

// Appends to a file, flushed line by line so that the lines before a crash
// are kept.
class TraceFile final : public TraceSink {
 public:
  explicit TraceFile(const char* path) : file_(std::fopen(path, "a")) {}
  ~TraceFile() override {
    if (file_ != nullptr) (void)std::fclose(file_);  // nothing to report a failure to
  }
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  bool Open() const { return file_ != nullptr; }
  void WriteLine(std::string_view line) override {
    std::fprintf(file_, "%.*s\n", static_cast<int>(line.size()), line.data());
    (void)std::fflush(file_);  // a full disk costs trace lines, never the program
  }

 private:
  std::FILE* file_;
};

}  // namespace

TraceSink& StandardErrorTrace() {
  static StandardError sink;
  return sink;
}

void Trace(std::string_view line) {
  if (active_sink == nullptr) return;
  std::string text(kPrefix);
  text += line;
  active_sink->WriteLine(text);
}

TraceSession::TraceSession(TraceSink& debug_output, const char* setting) {
  const std::string value = setting == nullptr ? "" : setting;
  if (value.empty() || value == "0") return;
  if (value == "1") {
    active_sink = &debug_output;
    return;
  }
  auto file = std::make_unique<TraceFile>(value.c_str());
  // A file that cannot be opened leaves the trace off, rather than the program.
  if (!file->Open()) return;
  file_ = std::move(file);
  active_sink = file_.get();
}

// The environment is read once, at start-up, before any other thread exists.
TraceSession::TraceSession(TraceSink& debug_output)
    : TraceSession(debug_output, std::getenv(kTraceVariable)) {}  // NOLINT(concurrency-mt-unsafe)

TraceSession::~TraceSession() {
  active_sink = nullptr;
}

}  // namespace pelorin
