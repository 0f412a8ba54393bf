#include "platform/linux/terminal_boxes.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/posix/unique_fd.h"

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

constexpr const char* kJournalSocket = "/run/systemd/journal/socket";

// Whether the journal listens on this machine now.
bool JournalRuns() {
  struct stat info {};
  return ::stat(kJournalSocket, &info) == 0 && S_ISSOCK(info.st_mode);
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

bool SendJournalEntry(const char* socket_path, std::string_view text, int priority) {
  // One datagram of fields. A field is "NAME=value\n", or, for a value that
  // may hold line ends, "NAME\n", the value's length as 64 bits little-endian,
  // the value and "\n".
  std::string entry = "PRIORITY=" + std::to_string(priority) + "\nSYSLOG_IDENTIFIER=pelorin\n";
  entry += "MESSAGE\n";
  for (int byte = 0; byte < 8; ++byte) {
    entry.push_back(static_cast<char>((std::uint64_t{text.size()} >> (8 * byte)) & 0xFFU));
  }
  entry.append(text);
  entry.push_back('\n');
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (std::strlen(socket_path) >= sizeof address.sun_path) return false;
  std::strcpy(address.sun_path, socket_path);  // NOLINT: length checked above
  const posix::UniqueFd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!fd.Valid()) return false;
  const auto sent = ::sendto(fd.Get(), entry.data(), entry.size(), MSG_NOSIGNAL,
                             reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return sent == static_cast<ssize_t>(entry.size());
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
    (void)SendJournalEntry(kJournalSocket, text, PriorityOf(request.icon));
  }
  return answer;
}

}  // namespace pelorin::linux_os
