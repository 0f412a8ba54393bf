#include "config/profile.h"

#include <algorithm>

namespace pelorin {
namespace {

// The profile functions count Ctrl-Z (the old end-of-file mark) as a blank.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseHex(text.substr(2));
  }
  if (!text.empty() && text[0] == '$') return ParseHex(text.substr(1));
  return ParseDecimal(text);
}

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  ProfileDocument document;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    document.bom_ = true;
    bytes.remove_prefix(kUtf8Bom.size());
  }
  std::size_t first_break = bytes.find_first_of("\r\n");
  if (first_break != std::string_view::npos && bytes[first_break] == '\n') document.newline_ = "\n";
  while (!bytes.empty()) {
    // A line ends at "\r\n", "\n" or a lone "\r", as the system reader takes it.
    std::size_t end = bytes.find_first_of("\r\n");
    std::string_view line = bytes.substr(0, end);
    std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end != std::string_view::npos && bytes[end] == '\r' && next < bytes.size() &&
        bytes[next] == '\n') {
      ++next;
    }
    bytes.remove_prefix(next);

    std::string_view trimmed = Trim(line);
    std::size_t close = trimmed.rfind(']');
    if (!trimmed.empty() && trimmed.front() == '[' && close != std::string_view::npos) {
      document.AddSection(true, std::string(line), std::string(Trim(trimmed.substr(1, close - 1))));
    } else {
      Section& section = document.sections_.back();
      document.AddEntry(section, ParseEntry(std::string(line)), section.entries.size());
    }
  }
  return document;
}

ProfileDocument::Entry ProfileDocument::ParseEntry(std::string line) {
  Entry entry;
  std::string_view trimmed = Trim(line);
  std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) {
    entry.name = std::string(trimmed);
  } else {
    entry.name = std::string(Trim(trimmed.substr(0, equals)));
    entry.value = std::string(Trim(trimmed.substr(equals + 1)));
  }
  entry.line = std::move(line);
  return entry;
}

void ProfileDocument::AddSection(bool has_header, std::string header, std::string name) {
  first_section_.try_emplace(Lower(name), sections_.size());
  sections_.push_back(Section{has_header, std::move(header), std::move(name), {}, {}});
}

void ProfileDocument::AddEntry(Section& section, Entry entry, std::size_t position) {
  bool at_end = position == section.entries.size();
  section.entries.insert(section.entries.begin() + static_cast<std::ptrdiff_t>(position),
                         std::move(entry));
  if (at_end) {
    section.first_entry.try_emplace(Lower(section.entries.back().name), position);
    return;
  }
  // Entries after the insertion point moved: index them afresh.
  section.first_entry.clear();
  for (std::size_t i = 0; i < section.entries.size(); ++i) {
    section.first_entry.try_emplace(Lower(section.entries[i].name), i);
  }
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view name) const {
  auto found = first_section_.find(Lower(Trim(name)));
  return found == first_section_.end() ? nullptr : &sections_[found->second];
}

// Same-typed on purpose: section and key, in the order of every profile API.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
std::optional<std::string> ProfileDocument::Get(std::string_view section_name,
                                                std::string_view key) const {
  const Section* section = FindSection(section_name);
  if (section == nullptr) return std::nullopt;
  auto found = section->first_entry.find(Lower(Trim(key)));
  if (found == section->first_entry.end()) return std::nullopt;
  const std::optional<std::string>& raw = section->entries[found->second].value;
  if (!raw) return std::nullopt;

  // The profile functions hand out C strings: a stray NUL ends the value.
  std::string_view value(raw->data(), std::min(raw->size(), raw->find('\0')));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  // The text is UTF-8: a cut inside a character would leave bytes that
  // are no text at all, so it backs up to where that character starts.
  std::size_t length = std::min(value.size(), kMaxValueLength);
  if (length < value.size()) {
    while (length > 0 && (static_cast<unsigned char>(value[length]) & 0xC0) == 0x80) --length;
  }
  return std::string(value.substr(0, length));
}

// Same-typed on purpose: section, key and value, in the order of every profile API.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void ProfileDocument::Set(std::string_view section_name, std::string_view key,
                          std::string_view value) {
  std::string one_line(value);
  std::replace_if(
      one_line.begin(), one_line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

  const Section* found = FindSection(section_name);
  if (found == nullptr) {
    // A blank line keeps a new section apart from the text before it.
    Section& last = sections_.back();
    if (!last.entries.empty() && !Trim(last.entries.back().line).empty()) {
      AddEntry(last, ParseEntry({}), last.entries.size());
    }
    std::string name(section_name);
    AddSection(true, "[" + name + "]", name);
    found = &sections_.back();
  }
  Section& section = sections_[static_cast<std::size_t>(found - sections_.data())];

  auto existing = section.first_entry.find(Lower(Trim(key)));
  if (existing != section.first_entry.end()) {
    Entry& entry = section.entries[existing->second];
    entry = ParseEntry(entry.name + "=" + one_line);
    return;
  }
  // New keys go after the last entry, before the blank lines that end the section.
  std::size_t position = section.entries.size();
  while (position > 0 && Trim(section.entries[position - 1].line).empty()) --position;
  AddEntry(section, ParseEntry(std::string(key) + "=" + one_line), position);
}

std::string ProfileDocument::Serialize() const {
  std::string out;
  if (bom_) out += kUtf8Bom;
  for (const Section& section : sections_) {
    if (section.has_header) {
      out += section.header;
      out += newline_;
    }
    for (const Entry& entry : section.entries) {
      out += entry.line;
      out += newline_;
    }
  }
  return out;
}

}  // namespace pelorin
