#pragma once
// The D-Bus wire format: messages written in this machine's byte order and
// read in either, with every length, offset and nesting checked against the
// bytes at hand, since a message comes from another program.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin::dbus {

enum class MessageType : std::uint8_t {
  MethodCall = 1,
  MethodReturn = 2,
  Error = 3,
  Signal = 4,
};

// A message's fixed part and the header fields this program reads or
// writes; an empty string is a field that is absent.
struct Header {
  MessageType type = MessageType::MethodCall;
  std::uint8_t flags = 0;
  std::uint32_t serial = 0;
  std::string path;
  std::string interface;
  std::string member;
  std::string error_name;
  std::uint32_t reply_serial = 0;  // 0: absent
  std::string destination;
  std::string sender;
  std::string signature;  // of the body
};

// Header flags.
constexpr std::uint8_t kNoReplyExpected = 0x1;
// A call that must not start a program to receive it.
constexpr std::uint8_t kNoAutoStart = 0x2;

// The largest message the protocol allows (128 MiB). A player's answer
// about a long playlist's tracks can run to tens of MiB; the reader's
// buffer grows only as the bytes arrive.
constexpr std::size_t kMaxMessageSize = 128U << 20U;

// The body of a message being written, in this machine's byte order. Each
// value is aligned from the body's start, which lies on 8 bytes in the
// message.
class BodyWriter {
 public:
  // Where an array's length goes and where its elements start.
  struct ArrayMark {
    std::size_t length_at = 0;
    std::size_t start = 0;
  };

  void Byte(std::uint8_t value);
  void Boolean(bool value);
  void Uint32(std::uint32_t value);
  void Int64(std::int64_t value);
  void Uint64(std::uint64_t value);
  void Double(double value);
  // A string or an object path ("s", "o").
  void String(std::string_view text);
  // A signature ("g"), also the first part of a variant.
  void Signature(std::string_view text);
  // Starts an array whose elements align to `element_alignment`.
  ArrayMark BeginArray(std::size_t element_alignment);
  void EndArray(ArrayMark mark);
  // Aligns to a structure or dictionary entry.
  void BeginStruct() { Align(8); }
  void Align(std::size_t alignment);

  const std::string& Bytes() const { return bytes_; }

 private:
  template <typename T>
  void Put(T value);
  std::string bytes_;
};

// The whole message: fixed part, header fields, body.
std::string EncodeMessage(const Header& header, std::string_view body);

// How long the message at the start of `bytes` is, from its first 16
// bytes: 0 while fewer have arrived, nullopt when they cannot start a
// message (unknown byte order, a length beyond kMaxMessageSize).
std::optional<std::size_t> MessageLength(std::string_view bytes);

struct Message {
  Header header;
  bool big_endian = false;
  std::string_view body;  // within the bytes given to DecodeMessage
};

// Reads one whole message (exactly MessageLength bytes); nullopt when it
// breaks the format.
std::optional<Message> DecodeMessage(std::string_view bytes);

// Reads the values of a body (or of the header fields) in order. A read
// that does not fit the bytes fails, and every read after it fails too, so
// a caller may check once at the end.
class BodyReader {
 public:
  BodyReader(std::string_view bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}

  bool Byte(std::uint8_t& value);
  bool Boolean(bool& value);
  bool Int16(std::int16_t& value);
  bool Uint16(std::uint16_t& value);
  bool Int32(std::int32_t& value);
  bool Uint32(std::uint32_t& value);
  bool Int64(std::int64_t& value);
  bool Uint64(std::uint64_t& value);
  bool Double(double& value);
  // "s" or "o".
  bool String(std::string& value);
  // "g": a signature, checked to be a valid one.
  bool Signature(std::string& value);
  // Enters an array of `element` (a single complete type); `end` is where
  // its elements end, for AtEnd.
  bool BeginArray(std::string_view element, std::size_t& end);
  bool AtEnd(std::size_t end) const { return failed_ || offset_ >= end; }
  // Aligns to a structure or dictionary entry.
  bool BeginStruct() { return Align(8); }
  // Passes over one value of the single complete type `type`.
  bool Skip(std::string_view type);

  bool Failed() const { return failed_; }
  std::size_t Offset() const { return offset_; }

 private:
  bool Align(std::size_t alignment);
  template <typename T>
  bool Get(T& value);
  bool Fail();
  bool SkipAt(std::string_view type, int depth);

  std::string_view bytes_;
  bool big_endian_;
  std::size_t offset_ = 0;
  bool failed_ = false;
};

// The length of the single complete type at the start of `signature`, or
// 0 when it does not start with one.
std::size_t SingleTypeLength(std::string_view signature);
// Whether `signature` is a sequence of complete types within the limits of
// the format (at most 255 characters, nesting at most 32 deep).
bool IsValidSignature(std::string_view signature);
// The alignment of values of the type that starts `signature`.
std::size_t AlignmentOf(char type);

}  // namespace pelorin::dbus
