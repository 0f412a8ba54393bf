#include "platform/win32/profile_encoding.h"

#include <windows.h>

#include <climits>
#include <optional>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0x80) != 0) return false;
  }
  return true;
}

// `text` decoded in `code_page`, every byte sequence taken as it comes.
std::wstring Decode(UINT code_page, std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int wide_length = ::MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), wide_length);
  return wide;
}

std::wstring FromUtf16Le(std::string_view bytes) {
  std::wstring wide(bytes.size() / 2, L'\0');  // an odd last byte is no character
  for (std::size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return wide;
}

std::string ToUtf16Le(std::wstring_view wide) {
  std::string bytes(kUtf16LeMark);
  bytes.reserve(2 + 2 * wide.size());
  for (wchar_t c : wide) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes;
}

// `wide` in the ANSI code page; nothing when a character has no code of its
// own there.
std::optional<std::string> ToAnsi(std::wstring_view wide) {
  if (wide.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int ansi_length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                                nullptr, 0, nullptr, &lossy);
  if (ansi_length <= 0 || lossy) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(ansi_length), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), ansi_length,
                        nullptr, &lossy);
  if (lossy) return std::nullopt;
  return ansi;
}

}  // namespace

std::string ProfileBytesToUtf8(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeMark)) return Narrow(FromUtf16Le(bytes.substr(2)));
  // Plain ASCII reads the same in every ANSI code page and in UTF-8; so
  // does text in a system whose ANSI code page is UTF-8.
  if (bytes.starts_with(kUtf8Mark) || IsAscii(bytes) || ::GetACP() == CP_UTF8) {
    return std::string(bytes);
  }
  return Narrow(Decode(CP_ACP, bytes));
}

std::string Utf8ToProfileBytes(std::string_view text) {
  // The UTF-8 code page takes no "used default" question (the call would
  // fail), and needs no conversion either.
  if (text.starts_with(kUtf8Mark) || IsAscii(text) || ::GetACP() == CP_UTF8) {
    return std::string(text);
  }
  const std::wstring wide = Decode(CP_UTF8, text);
  if (std::optional<std::string> ansi = ToAnsi(wide)) return *ansi;
  return ToUtf16Le(wide);
}

}  // namespace pelorin::win32
