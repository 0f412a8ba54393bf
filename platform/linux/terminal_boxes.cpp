#include "platform/linux/terminal_boxes.h"

#include <sys/stat.h>
#include <syslog.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace pelorin::linux_os {
namespace {

std::string WithNewlines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
      out += '\n';  // a single "\r" breaks the line too
    }
  }
  return out;
}

int PriorityOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return LOG_ERR;
    case MessageIcon::Warning:
      return LOG_WARNING;
    case MessageIcon::Question:
      return LOG_NOTICE;
    case MessageIcon::Information:
    case MessageIcon::None:
      break;
  }
  return LOG_INFO;
}

// Whether the journal listens on this machine now.
bool JournalRuns() {
  struct stat info {};
  return ::stat("/run/systemd/journal/socket", &info) == 0 && S_ISSOCK(info.st_mode);
}

// Whether standard error is the stream a systemd service's output goes to
// the journal by: JOURNAL_STREAM holds its "device:inode".
bool StandardErrorIsJournal() {
  const char* stream = std::getenv("JOURNAL_STREAM");  // NOLINT(concurrency-mt-unsafe)
  if (stream == nullptr) return false;
  struct stat info {};
  if (::fstat(STDERR_FILENO, &info) != 0) return false;
  unsigned long long device = 0;
  unsigned long long inode = 0;
  // NOLINTNEXTLINE(cert-err34-c): a malformed value simply does not match
  if (std::sscanf(stream, "%llu:%llu", &device, &inode) != 2) return false;
  return device == info.st_dev && inode == info.st_ino;
}

}  // namespace

std::string BoxText(const MessageBoxRequest& request) {
  std::string text = request.caption.empty() ? "" : request.caption + ": ";
  text += WithNewlines(request.text);
  if (!request.detail.empty()) text += "\n" + WithNewlines(request.detail);
  return text;
}

TerminalMessageBoxes::TerminalMessageBoxes(TraceSink& standard_error, Journal journal)
    : standard_error_(standard_error),
      to_journal_(journal == Journal::WhenPresent && JournalRuns()),
      to_standard_error_(!to_journal_ || !StandardErrorIsJournal()) {}

MessageAnswer TerminalMessageBoxes::Show(const MessageBoxRequest& request) {
  const MessageAnswer answer = DismissedAnswer(request.buttons);
  const std::string text = BoxText(request);
  if (!told_.insert(text).second) return answer;
  if (to_standard_error_) {
    std::string_view rest = text;
    bool first = true;
    while (!rest.empty() || first) {
      const std::size_t end = rest.find('\n');
      const std::string_view line = rest.substr(0, end);
      standard_error_.WriteLine(first ? std::string(line) : "  " + std::string(line));
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      first = false;
    }
  }
  if (to_journal_) {
    // Failures are ignored: the journal is a second copy of the lines.
    (void)sd_journal_send("MESSAGE=%s", text.c_str(), "PRIORITY=%i", PriorityOf(request.icon),
                          "SYSLOG_IDENTIFIER=pelorin", nullptr);
  }
  return answer;
}

}  // namespace pelorin::linux_os
