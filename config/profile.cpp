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

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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

// The next line of `bytes`, which loses it and its end. A line ends at
// "\r\n", "\n" or a lone "\r", as the system reader takes it.
std::string_view TakeLine(std::string_view& bytes) {
  // One pass over the bytes (find_first_of would search the set of two
  // line ends anew at every byte; memchr, twice, costs more on lines this
  // short).
  std::size_t end = 0;
  while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
  const std::string_view line = bytes.substr(0, end);
  std::size_t next = end == bytes.size() ? end : end + 1;
  if (end < bytes.size() && bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') {
    ++next;
  }
  bytes.remove_prefix(next);
  return line;
}

// The name of the section a header line starts, or nothing for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

}  // namespace

std::size_t ProfileDocument::NameHash::operator()(std::string_view name) const noexcept {
  // FNV-1a over the lowered bytes.
  std::uint64_t hash = 14695981039346656037ULL;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(LowerAscii(c));
    hash *= 1099511628211ULL;
  }
  return static_cast<std::size_t>(hash);
}

bool ProfileDocument::NameEqual::operator()(std::string_view a,
                                            std::string_view b) const noexcept {
  if (a.size() != b.size()) return false;
  // Names are mostly asked for as they are written, and names of one length
  // mostly differ in their last letters: bytes that agree as they stand are
  // not lowered.
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

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
  std::string_view after_first = bytes;
  const std::size_t first_end = TakeLine(after_first).size();
  if (first_end < bytes.size() && bytes[first_end] == '\n') document.newline_ = "\n";

  // The bytes are cut into lines once. The lines of each section are
  // counted first, so that each section takes its room once: grown line by
  // line, it would move its entries again and again and leave the rooms it
  // outgrew behind.
  struct Line {
    std::string_view text;
    std::optional<std::string_view> section;  // the name a header line starts
  };
  std::vector<Line> lines;
  std::vector<std::size_t> lines_of_section{0};
  for (std::string_view rest = bytes; !rest.empty();) {
    const std::string_view text = TakeLine(rest);
    lines.push_back(Line{text, HeaderName(text)});
    if (lines.back().section) {
      lines_of_section.push_back(0);
    } else {
      ++lines_of_section.back();
    }
  }
  document.sections_.reserve(lines_of_section.size());
  document.first_section_.reserve(lines_of_section.size());
  auto make_room = [&document, &lines_of_section] {
    Section& section = document.sections_.back();
    section.entries.reserve(lines_of_section[document.sections_.size() - 1]);
  };

  make_room();
  for (const Line& line : lines) {
    if (line.section) {
      document.AddSection(true, std::string(line.text), std::string(*line.section));
      make_room();
    } else {
      Section& section = document.sections_.back();
      document.AddEntry(section, ParseEntry(std::string(line.text)), section.entries.size());
    }
  }
  return document;
}

ProfileDocument::Entry ProfileDocument::ParseEntry(std::string line) {
  Entry entry;
  const std::string_view whole(line);
  auto place = [&whole](std::string_view part) {
    return static_cast<std::size_t>(part.data() - whole.data());
  };
  std::string_view trimmed = Trim(whole);
  std::size_t equals = trimmed.find('=');
  std::string_view name = trimmed;
  if (equals != std::string_view::npos) {
    name = Trim(trimmed.substr(0, equals));
    const std::string_view value = Trim(trimmed.substr(equals + 1));
    entry.has_value = true;
    entry.value_at = place(value);
    entry.value_size = value.size();
  }
  entry.name_at = place(name);
  entry.name_size = name.size();
  entry.line = std::move(line);
  return entry;
}

void ProfileDocument::AddSection(bool has_header, std::string header, std::string name) {
  first_section_.try_emplace(name, sections_.size());
  sections_.push_back(Section{has_header, std::move(header), std::move(name), {}, {}});
}

void ProfileDocument::AddEntry(Section& section, Entry entry, std::size_t position) {
  const bool at_end = position == section.entries.size();
  const bool was_indexed = section.Indexed();
  section.entries.insert(section.entries.begin() + static_cast<std::ptrdiff_t>(position),
                         std::move(entry));
  if (!section.Indexed()) return;  // searched in order
  if (was_indexed && at_end) {
    section.first_entry.try_emplace(std::string(section.entries.back().Name()), position);
    return;
  }
  // A new index, or entries after the insertion point moved: index them afresh.
  section.first_entry.clear();
  for (std::size_t i = 0; i < section.entries.size(); ++i) {
    section.first_entry.try_emplace(std::string(section.entries[i].Name()), i);
  }
}

std::optional<std::size_t> ProfileDocument::FindEntry(const Section& section,
                                                      std::string_view name) {
  if (section.Indexed()) {
    const auto found = section.first_entry.find(name);
    if (found == section.first_entry.end()) return std::nullopt;
    return found->second;
  }
  for (std::size_t i = 0; i < section.entries.size(); ++i) {
    // Most names differ in length already.
    const Entry& entry = section.entries[i];
    if (entry.name_size == name.size() && NameEqual{}(entry.Name(), name)) return i;
  }
  return std::nullopt;
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view name) const {
  auto found = first_section_.find(Trim(name));
  return found == first_section_.end() ? nullptr : &sections_[found->second];
}

// Same-typed on purpose: section and key, in the order of every profile API.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
std::optional<std::string> ProfileDocument::Get(std::string_view section_name,
                                                std::string_view key) const {
  return Get(FindSectionRef(section_name), key);
}

ProfileDocument::SectionRef ProfileDocument::FindSectionRef(std::string_view section) const {
  SectionRef found;
  found.section_ = FindSection(section);
  return found;
}

std::optional<std::string> ProfileDocument::Get(SectionRef section_ref,
                                                std::string_view key) const {
  const Section* section = section_ref.section_;
  if (section == nullptr) return std::nullopt;
  const std::optional<std::size_t> found = FindEntry(*section, Trim(key));
  if (!found) return std::nullopt;
  const std::optional<std::string_view> raw = section->entries[*found].Value();
  if (!raw) return std::nullopt;

  // The profile functions hand out C strings: a stray NUL ends the value.
  std::string_view value = raw->substr(0, raw->find('\0'));
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

  if (const std::optional<std::size_t> existing = FindEntry(section, Trim(key))) {
    Entry& entry = section.entries[*existing];
    entry = ParseEntry(std::string(entry.Name()) + "=" + one_line);
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
