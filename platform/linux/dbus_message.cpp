#include "platform/linux/dbus_message.h"

#include <array>
#include <bit>
#include <cstring>

namespace pelorin::dbus {

namespace {

// Nesting of arrays, structures and variants together; the format allows
// 32 arrays and 32 structures, and this bounds the reader's recursion.
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxArrayLength = 64U << 20U;
constexpr std::size_t kMaxSignatureLength = 255;
constexpr std::size_t kFixedHeaderSize = 16;

enum HeaderField : std::uint8_t {
  kPath = 1,
  kInterface = 2,
  kMember = 3,
  kErrorName = 4,
  kReplySerial = 5,
  kDestination = 6,
  kSender = 7,
  kSignature = 8,
};

constexpr bool kHostBigEndian = std::endian::native == std::endian::big;

bool IsBasicType(char type) {
  return std::string_view("ybnqiuxtdhsog").find(type) != std::string_view::npos;
}

// The size of a basic type of fixed size, or 0.
std::size_t FixedSize(char type) {
  switch (type) {
    case 'y':
      return 1;
    case 'n':
    case 'q':
      return 2;
    case 'b':
    case 'i':
    case 'u':
    case 'h':
      return 4;
    case 'x':
    case 't':
    case 'd':
      return 8;
    default:
      return 0;
  }
}

std::size_t TypeLength(std::string_view signature, int depth, bool dict_entry_allowed);

// The members of a structure or dictionary entry after its opening
// character, up to and including `close`; 0 when malformed.
std::size_t MembersLength(std::string_view signature, int depth, char close) {
  std::size_t at = 1;
  std::size_t members = 0;
  while (at < signature.size() && signature[at] != close) {
    const std::size_t length = TypeLength(signature.substr(at), depth + 1, false);
    if (length == 0) return 0;
    // A dictionary entry's key is basic, and it has exactly two members.
    if (close == '}' && members == 0 && !IsBasicType(signature[at])) return 0;
    at += length;
    ++members;
  }
  if (at >= signature.size() || members == 0) return 0;
  if (close == '}' && members != 2) return 0;
  return at + 1;
}

std::size_t TypeLength(std::string_view signature, int depth, bool dict_entry_allowed) {
  if (signature.empty() || depth > kMaxDepth) return 0;
  const char type = signature[0];
  if (IsBasicType(type) || type == 'v') return 1;
  if (type == 'a') {
    const std::size_t element = TypeLength(signature.substr(1), depth + 1, true);
    return element == 0 ? 0 : element + 1;
  }
  if (type == '(') return MembersLength(signature, depth, ')');
  if (type == '{' && dict_entry_allowed) return MembersLength(signature, depth, '}');
  return 0;
}

template <typename T>
T Swapped(T value) {
  std::array<unsigned char, sizeof(T)> bytes{};
  std::memcpy(bytes.data(), &value, sizeof(T));
  for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

std::size_t RoundUp(std::size_t offset, std::size_t alignment) {
  return (offset + alignment - 1) / alignment * alignment;
}

}  // namespace

std::size_t SingleTypeLength(std::string_view signature) {
  return TypeLength(signature, 0, false);
}

bool IsValidSignature(std::string_view signature) {
  if (signature.size() > kMaxSignatureLength) return false;
  while (!signature.empty()) {
    const std::size_t length = SingleTypeLength(signature);
    if (length == 0) return false;
    signature.remove_prefix(length);
  }
  return true;
}

std::size_t AlignmentOf(char type) {
  if (type == '(' || type == '{') return 8;
  if (type == 's' || type == 'o' || type == 'a') return 4;
  const std::size_t size = FixedSize(type);
  return size == 0 ? 1 : size;  // "g" and "v" align to single bytes
}

// ---- writing

template <typename T>
void BodyWriter::Put(T value) {
  Align(sizeof(T));
  const auto at = bytes_.size();
  bytes_.resize(at + sizeof(T));
  std::memcpy(bytes_.data() + at, &value, sizeof(T));
}

void BodyWriter::Align(std::size_t alignment) {
  bytes_.resize(RoundUp(bytes_.size(), alignment), '\0');
}

void BodyWriter::Byte(std::uint8_t value) {
  bytes_.push_back(static_cast<char>(value));
}

void BodyWriter::Boolean(bool value) {
  Put<std::uint32_t>(value ? 1 : 0);
}

void BodyWriter::Uint32(std::uint32_t value) {
  Put(value);
}

void BodyWriter::Int64(std::int64_t value) {
  Put(value);
}

void BodyWriter::Uint64(std::uint64_t value) {
  Put(value);
}

void BodyWriter::Double(double value) {
  Put(value);
}

void BodyWriter::String(std::string_view text) {
  Put(static_cast<std::uint32_t>(text.size()));
  bytes_.append(text);
  bytes_.push_back('\0');
}

void BodyWriter::Signature(std::string_view text) {
  Byte(static_cast<std::uint8_t>(text.size()));
  bytes_.append(text);
  bytes_.push_back('\0');
}

BodyWriter::ArrayMark BodyWriter::BeginArray(std::size_t element_alignment) {
  ArrayMark mark;
  Align(4);
  mark.length_at = bytes_.size();
  Put<std::uint32_t>(0);
  Align(element_alignment);
  mark.start = bytes_.size();
  return mark;
}

void BodyWriter::EndArray(ArrayMark mark) {
  const auto length = static_cast<std::uint32_t>(bytes_.size() - mark.start);
  std::memcpy(bytes_.data() + mark.length_at, &length, sizeof length);
}

namespace {

void PutField(BodyWriter& out, HeaderField code, char type, std::string_view text) {
  if (text.empty()) return;
  out.BeginStruct();
  out.Byte(code);
  out.Signature(std::string_view(&type, 1));
  if (type == 'g')
    out.Signature(text);
  else
    out.String(text);
}

}  // namespace

std::string EncodeMessage(const Header& header, std::string_view body) {
  BodyWriter out;
  out.Byte(kHostBigEndian ? 'B' : 'l');
  out.Byte(static_cast<std::uint8_t>(header.type));
  out.Byte(header.flags);
  out.Byte(1);  // the protocol's version
  out.Uint32(static_cast<std::uint32_t>(body.size()));
  out.Uint32(header.serial);
  const auto fields = out.BeginArray(8);
  PutField(out, kPath, 'o', header.path);
  PutField(out, kInterface, 's', header.interface);
  PutField(out, kMember, 's', header.member);
  PutField(out, kErrorName, 's', header.error_name);
  if (header.reply_serial != 0) {
    out.BeginStruct();
    out.Byte(kReplySerial);
    out.Signature("u");
    out.Uint32(header.reply_serial);
  }
  PutField(out, kDestination, 's', header.destination);
  PutField(out, kSender, 's', header.sender);
  PutField(out, kSignature, 'g', header.signature);
  out.EndArray(fields);
  out.Align(8);
  std::string message = out.Bytes();
  message.append(body);
  return message;
}

// ---- reading

bool BodyReader::Fail() {
  failed_ = true;
  return false;
}

bool BodyReader::Align(std::size_t alignment) {
  if (failed_) return false;
  const std::size_t aligned = RoundUp(offset_, alignment);
  if (aligned > bytes_.size()) return Fail();
  offset_ = aligned;
  return true;
}

template <typename T>
bool BodyReader::Get(T& value) {
  if (!Align(sizeof(T))) return false;
  if (bytes_.size() - offset_ < sizeof(T)) return Fail();
  std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
  if (big_endian_ != kHostBigEndian) value = Swapped(value);
  offset_ += sizeof(T);
  return true;
}

bool BodyReader::Byte(std::uint8_t& value) {
  return Get(value);
}

bool BodyReader::Boolean(bool& value) {
  std::uint32_t number = 0;
  if (!Get(number)) return false;
  value = number != 0;
  return true;
}

bool BodyReader::Int16(std::int16_t& value) {
  return Get(value);
}

bool BodyReader::Uint16(std::uint16_t& value) {
  return Get(value);
}

bool BodyReader::Int32(std::int32_t& value) {
  return Get(value);
}

bool BodyReader::Uint32(std::uint32_t& value) {
  return Get(value);
}

bool BodyReader::Int64(std::int64_t& value) {
  return Get(value);
}

bool BodyReader::Uint64(std::uint64_t& value) {
  return Get(value);
}

bool BodyReader::Double(double& value) {
  return Get(value);
}

bool BodyReader::String(std::string& value) {
  std::uint32_t length = 0;
  if (!Get(length)) return false;
  // The text and its terminating NUL.
  if (bytes_.size() - offset_ <= length || bytes_[offset_ + length] != '\0') return Fail();
  value.assign(bytes_.substr(offset_, length));
  offset_ += std::size_t{length} + 1;
  return true;
}

bool BodyReader::Signature(std::string& value) {
  std::uint8_t length = 0;
  if (!Get(length)) return false;
  if (bytes_.size() - offset_ <= length || bytes_[offset_ + length] != '\0') return Fail();
  value.assign(bytes_.substr(offset_, length));
  offset_ += std::size_t{length} + 1;
  return IsValidSignature(value) || Fail();
}

bool BodyReader::BeginArray(std::string_view element, std::size_t& end) {
  std::uint32_t length = 0;
  if (element.empty() || !Get(length)) return false;
  if (length > kMaxArrayLength || !Align(AlignmentOf(element[0]))) return Fail();
  if (bytes_.size() - offset_ < length) return Fail();
  end = offset_ + length;
  return true;
}

bool BodyReader::Skip(std::string_view type) {
  if (SingleTypeLength(type) != type.size()) return Fail();
  return SkipAt(type, 0);
}

bool BodyReader::SkipAt(std::string_view type, int depth) {
  if (failed_ || depth > kMaxDepth || type.empty()) return Fail();
  const char code = type[0];
  if (const std::size_t size = FixedSize(code); size != 0) {
    if (!Align(size) || bytes_.size() - offset_ < size) return Fail();
    offset_ += size;
    return true;
  }
  std::string text;
  switch (code) {
    case 's':
    case 'o':
      return String(text);
    case 'g':
      return Signature(text);
    case 'v':
      if (!Signature(text) || text.empty() || SingleTypeLength(text) != text.size()) return Fail();
      return SkipAt(text, depth + 1);
    case 'a': {
      const std::string_view element = type.substr(1);
      std::size_t end = 0;
      if (!BeginArray(element, end)) return false;
      // Fixed-size elements are passed over at once.
      if (const std::size_t size = FixedSize(element[0]); size != 0) {
        if ((end - offset_) % size != 0) return Fail();
        offset_ = end;
        return true;
      }
      while (!AtEnd(end)) {
        if (!SkipAt(element, depth + 1)) return false;
      }
      return offset_ == end || Fail();
    }
    case '(':
    case '{': {
      if (!BeginStruct()) return false;
      std::size_t at = 1;
      while (at < type.size() && type[at] != ')' && type[at] != '}') {
        // The whole type was checked before; its members are complete types.
        const std::size_t length = TypeLength(type.substr(at), 0, false);
        if (length == 0 || !SkipAt(type.substr(at, length), depth + 1)) return Fail();
        at += length;
      }
      return true;
    }
    default:
      return Fail();
  }
}

std::optional<std::size_t> MessageLength(std::string_view bytes) {
  if (bytes.size() < kFixedHeaderSize) return 0;
  if (bytes[0] != 'l' && bytes[0] != 'B') return std::nullopt;
  BodyReader reader(bytes.substr(0, kFixedHeaderSize), bytes[0] == 'B');
  std::uint32_t word = 0;
  std::uint32_t body_length = 0;
  std::uint32_t fields_length = 0;
  reader.Uint32(word);  // byte order, type, flags, version
  reader.Uint32(body_length);
  reader.Uint32(word);  // serial
  reader.Uint32(fields_length);
  if (fields_length > kMaxArrayLength || body_length > kMaxMessageSize) return std::nullopt;
  const std::size_t length = RoundUp(kFixedHeaderSize + fields_length, 8) + body_length;
  if (length > kMaxMessageSize) return std::nullopt;
  return length;
}

namespace {

// Reads one header field into `header`; fields of unknown codes, and known
// ones of another type, are passed over.
bool ReadField(BodyReader& reader, Header& header) {
  std::uint8_t code = 0;
  std::string type;
  if (!reader.BeginStruct() || !reader.Byte(code) || !reader.Signature(type)) return false;
  if (type.empty() || SingleTypeLength(type) != type.size()) return false;
  std::string* text = nullptr;
  switch (code) {
    case kPath:
      if (type == "o") text = &header.path;
      break;
    case kInterface:
      if (type == "s") text = &header.interface;
      break;
    case kMember:
      if (type == "s") text = &header.member;
      break;
    case kErrorName:
      if (type == "s") text = &header.error_name;
      break;
    case kDestination:
      if (type == "s") text = &header.destination;
      break;
    case kSender:
      if (type == "s") text = &header.sender;
      break;
    case kSignature:
      if (type == "g") return reader.Signature(header.signature);
      break;
    case kReplySerial:
      if (type == "u") return reader.Uint32(header.reply_serial);
      break;
    default:
      break;
  }
  return text != nullptr ? reader.String(*text) : reader.Skip(type);
}

// Whether the message carries the fields its type needs.
bool HasRequiredFields(const Header& header) {
  switch (header.type) {
    case MessageType::MethodCall:
      return !header.path.empty() && !header.member.empty();
    case MessageType::MethodReturn:
      return header.reply_serial != 0;
    case MessageType::Error:
      return header.reply_serial != 0 && !header.error_name.empty();
    case MessageType::Signal:
      return !header.path.empty() && !header.interface.empty() && !header.member.empty();
  }
  return true;  // a type this program does not know, to be ignored
}

}  // namespace

std::optional<Message> DecodeMessage(std::string_view bytes) {
  const auto length = MessageLength(bytes);
  if (!length || *length != bytes.size() || *length == 0) return std::nullopt;
  Message message;
  message.big_endian = bytes[0] == 'B';
  BodyReader reader(bytes, message.big_endian);
  std::uint8_t byte = 0;
  std::uint8_t type = 0;
  std::uint8_t version = 0;
  std::uint32_t body_length = 0;
  reader.Byte(byte);
  reader.Byte(type);
  reader.Byte(message.header.flags);
  reader.Byte(version);
  reader.Uint32(body_length);
  reader.Uint32(message.header.serial);
  if (type == 0 || version != 1 || message.header.serial == 0) return std::nullopt;
  message.header.type = static_cast<MessageType>(type);
  std::size_t end = 0;
  if (!reader.BeginArray("(yv)", end)) return std::nullopt;
  while (!reader.AtEnd(end)) {
    if (!ReadField(reader, message.header)) return std::nullopt;
  }
  if (reader.Failed() || reader.Offset() != end || !reader.BeginStruct()) return std::nullopt;
  if (bytes.size() - reader.Offset() != body_length) return std::nullopt;
  if (!HasRequiredFields(message.header)) return std::nullopt;
  message.body = bytes.substr(reader.Offset());
  return message;
}

}  // namespace pelorin::dbus
