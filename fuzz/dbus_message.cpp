// Feeds arbitrary bytes to the bus's message reader, as another program on
// the bus could send them: a message that decodes has its body's values
// passed over within its bytes, and written again it decodes to the same
// header and body.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/linux/dbus_message.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool SameHeader(const pelorin::dbus::Header& a, const pelorin::dbus::Header& b) {
  return a.type == b.type && a.flags == b.flags && a.serial == b.serial && a.path == b.path &&
         a.interface == b.interface && a.member == b.member && a.error_name == b.error_name &&
         a.reply_serial == b.reply_serial && a.destination == b.destination &&
         a.sender == b.sender && a.signature == b.signature;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin::dbus;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto length = MessageLength(bytes);
  if (!length || *length == 0 || *length > bytes.size()) return 0;
  const auto message = DecodeMessage(bytes.substr(0, *length));
  if (!message) return 0;

  // Every value the signature declares, in order, without reading past
  // the body.
  BodyReader body(message->body, message->big_endian);
  std::string_view signature = message->header.signature;
  while (!signature.empty() && !body.Failed()) {
    const std::size_t type = SingleTypeLength(signature);
    Check(type != 0);
    (void)body.Skip(signature.substr(0, type));
    signature.remove_prefix(type);
  }
  Check(body.Offset() <= message->body.size());

  // Written again in this machine's order, the message reads back alike;
  // the body is copied as it came, so its bytes stay the same too.
  const std::string again = EncodeMessage(message->header, message->body);
  const auto reread = DecodeMessage(again);
  Check(reread.has_value());
  Check(SameHeader(reread->header, message->header));
  Check(reread->body == message->body);
  return 0;
}
