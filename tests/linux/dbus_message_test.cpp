// The bus's wire format on its own: what the program writes reads back, a
// message in the other byte order reads the same, and broken bytes are
// refused rather than read past. The client against a real bus is in
// mpris_client_test and logind_power_test.
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/dbus_message.h"

namespace pelorin::dbus {
namespace {

TEST(DbusMessage, WrittenCallsReadBackWhateverArrivedSoFar) {
  Header call;
  call.type = MessageType::MethodCall;
  call.flags = kNoAutoStart;
  call.serial = 42;
  call.destination = "org.mpris.MediaPlayer2.vlc";
  call.path = "/org/mpris/MediaPlayer2";
  call.interface = "org.freedesktop.DBus.Properties";
  call.member = "Set";
  call.signature = "ssv";
  BodyWriter body;
  body.String("org.mpris.MediaPlayer2.Player");
  body.String("Volume");
  body.Signature("d");
  body.Double(0.25);
  const std::string bytes = EncodeMessage(call, body.Bytes());

  // Nothing is decided before the fixed part is in; from then on the
  // length is known, and only the whole message decodes.
  EXPECT_EQ(MessageLength(bytes.substr(0, 15)), std::optional<std::size_t>(0));
  EXPECT_EQ(MessageLength(bytes.substr(0, 16)), std::optional<std::size_t>(bytes.size()));
  EXPECT_FALSE(DecodeMessage(bytes.substr(0, bytes.size() - 1)));

  const auto message = DecodeMessage(bytes);
  ASSERT_TRUE(message);
  const Header& read = message->header;
  EXPECT_EQ(read.type, MessageType::MethodCall);
  EXPECT_EQ(read.flags, kNoAutoStart);
  EXPECT_EQ(read.serial, 42u);
  EXPECT_EQ(read.destination, call.destination);
  EXPECT_EQ(read.path, call.path);
  EXPECT_EQ(read.interface, call.interface);
  EXPECT_EQ(read.member, "Set");
  EXPECT_EQ(read.signature, "ssv");
  BodyReader in(message->body, message->big_endian);
  std::string interface;
  std::string property;
  std::string type;
  double volume = 0;
  EXPECT_TRUE(in.String(interface) && in.String(property) && in.Signature(type) &&
              in.Double(volume));
  EXPECT_EQ(property, "Volume");
  EXPECT_EQ(type, "d");
  EXPECT_EQ(volume, 0.25);
}

TEST(DbusMessage, ABigEndianReplyReadsTheSame) {
  // A method return to serial 9 carrying one "u", 0x01020304, written by a
  // big-endian peer.
  const std::string bytes(
      "B\x02\x00\x01"
      "\x00\x00\x00\x04"
      "\x00\x00\x00\x07"
      "\x00\x00\x00\x0f"
      "\x05\x01u\x00"
      "\x00\x00\x00\x09"
      "\x08\x01g\x00"
      "\x01u\x00\x00"
      "\x01\x02\x03\x04",
      36);
  ASSERT_EQ(MessageLength(bytes), std::optional<std::size_t>(36));
  const auto message = DecodeMessage(bytes);
  ASSERT_TRUE(message);
  EXPECT_TRUE(message->big_endian);
  EXPECT_EQ(message->header.type, MessageType::MethodReturn);
  EXPECT_EQ(message->header.serial, 7u);
  EXPECT_EQ(message->header.reply_serial, 9u);
  EXPECT_EQ(message->header.signature, "u");
  std::uint32_t value = 0;
  BodyReader in(message->body, true);
  EXPECT_TRUE(in.Uint32(value));
  EXPECT_EQ(value, 0x01020304u);
}

TEST(DbusMessage, SignaturesAreCheckedAsTheFormatDefinesThem) {
  for (const char* valid : {"", "s", "a{sv}", "aa{sv}", "(ii)", "a(oa{sv})", "v", "ssv"}) {
    EXPECT_TRUE(IsValidSignature(valid)) << valid;
  }
  const std::string too_deep = std::string(70, 'a') + "i";
  for (const std::string invalid : {"{sv}", "a{vs}", "a{sii}", "()", "a", "(i", "a{s}", "z",
                                    too_deep.c_str()}) {
    EXPECT_FALSE(IsValidSignature(invalid)) << invalid;
  }
}

TEST(DbusMessage, ValuesAreSkippedWithinTheirBytesOnly) {
  BodyWriter body;
  body.Signature("a{sv}");  // a variant holding a dictionary
  const auto map = body.BeginArray(8);
  body.BeginStruct();
  body.String("xesam:title");
  body.Signature("as");
  const auto titles = body.BeginArray(4);
  body.String("one");
  body.String("two");
  body.EndArray(titles);
  body.EndArray(map);
  body.Uint32(7);
  const std::string bytes = body.Bytes();

  BodyReader whole(bytes, false);
  std::uint32_t after = 0;
  EXPECT_TRUE(whole.Skip("v") && whole.Uint32(after));
  EXPECT_EQ(after, 7u);
  // Cut anywhere inside the variant, the skip fails instead of reading on.
  for (std::size_t cut = 0; cut + 4 < bytes.size(); ++cut) {
    BodyReader part(std::string_view(bytes).substr(0, cut), false);
    EXPECT_FALSE(part.Skip("v")) << "cut at " << cut;
  }
  // A string whose terminating NUL is missing.
  BodyReader unterminated(std::string_view("\x02\x00\x00\x00" "abc", 7), false);
  std::string text;
  EXPECT_FALSE(unterminated.String(text));
}

}  // namespace
}  // namespace pelorin::dbus
