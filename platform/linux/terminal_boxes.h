#pragma once
#include <set>
#include <string>
#include <string_view>

#include "platform/message_box.h"
#include "platform/trace.h"

namespace pelorin::linux_os {

// Message boxes of a program without windows: the box's caption, text and
// detail go to the standard error stream and to the systemd journal (with a
// priority from the icon), and the box answers at once, as if dismissed
// without a choice: Ok for an Ok box, Cancel for Ok/Cancel, No for Yes/No.
// Nothing done behind such a question (uninstall, start the player...)
// happens unasked.
//
// Each distinct box is told once per run: a button held down or a port that
// keeps failing must not flood the log. Line ends ("\r\n" or a single
// "\r") become "\n"; the first line starts with the caption, the others are
// indented under it.
//
// Where standard error already is the journal (a systemd service, which
// says so in JOURNAL_STREAM), only the journal gets the lines, so that none
// appears twice.
// Sends one entry to the journal listening on `socket_path` over its
// native protocol, the text with its line ends kept; false when it could
// not be sent.
bool SendJournalEntry(const char* socket_path, std::string_view text, int priority);

class TerminalMessageBoxes final : public MessageBoxes {
 public:
  enum class Journal { WhenPresent, Never };

  explicit TerminalMessageBoxes(TraceSink& standard_error = StandardErrorTrace(),
                                Journal journal = Journal::WhenPresent);

  MessageAnswer Show(const MessageBoxRequest& request) override;

 private:
  TraceSink& standard_error_;
  bool to_journal_;
  bool to_standard_error_;
  std::set<std::string> told_;
};

// The box's text as told: caption, text and detail, with "\n" line ends.
std::string BoxText(const MessageBoxRequest& request);

}  // namespace pelorin::linux_os
