#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelorin {

// A configuration file in the Windows profile (INI) format, held as its lines
// so that a save keeps every section, key, comment and blank line it does not
// know. Reading follows the rules of the Windows profile functions:
//   - a line ends at "\r\n", "\n" or a lone "\r"; blanks around it do not count;
//   - "[name]" starts a section (name = the text up to the last ']', without
//     surrounding blanks);
//   - any other line is an entry: the name is the text before the first '='
//     and the value the text after it, each without surrounding blanks; a
//     line without '=' is an entry without a value, which reads as missing;
//   - section and key names are compared without regard to (ASCII) case;
//   - only the first section of a name is searched, and in it the first
//     entry of a name answers;
//   - a value enclosed in one matching pair of single or double quotes loses
//     them, and a value is cut to kMaxValueLength bytes, never inside a
//     character.
// The text is UTF-8 (the file system converts a file in another encoding).
// A UTF-8 byte-order mark is skipped and kept. A document whose first line
// ends in "\n" alone is written out with "\n" line ends, any other with "\r\n".
class ProfileDocument {
  struct Section;

 public:
  static constexpr std::size_t kMaxValueLength = 2047;

  // A section looked up once, for a reader of several of its keys: each key
  // then costs one look in the section. Empty when the document has no
  // section of the name; good until the document changes.
  class SectionRef {
    friend class ProfileDocument;
    const Section* section_ = nullptr;
  };

  // An empty document; text before the first section header belongs to an
  // unnamed section without a header line.
  ProfileDocument() { AddSection(false, {}, {}); }
  static ProfileDocument Parse(std::string_view bytes);

  // The value of `key` in `section` as the profile functions return it, or
  // nothing when the section, the key or its value is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::optional<std::string> Get(SectionRef section, std::string_view key) const;
  SectionRef FindSectionRef(std::string_view section) const;

  // Sets `key` in `section` to `value`, as written (no quotes are added). An
  // existing entry keeps its place and the spelling of its name; a new key
  // goes after the last entry of the section, a new section at the end of
  // the document. Line breaks in `value` become blanks, since a value is one
  // line.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole document as file bytes.
  std::string Serialize() const;

 private:
  // Section and key names, compared without regard to ASCII case. A lookup
  // takes a view of the name as asked: no lowered copy is made per look,
  // and the settings ask for some seven hundred names at every load.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept;
  };
  struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
  };
  using NameIndex = std::unordered_map<std::string, std::size_t, NameHash, NameEqual>;

  // A line of a section. Its name and raw value are kept as places in the
  // line, not as copies: a settings file has some four hundred entries and
  // is read whole at every start and every show of the window.
  struct Entry {
    std::string line;  // the line as it stands in the file
    std::size_t name_at = 0;
    std::size_t name_size = 0;
    std::size_t value_at = 0;
    std::size_t value_size = 0;
    bool has_value = false;  // none without '='

    std::string_view Name() const { return std::string_view(line).substr(name_at, name_size); }
    // The trimmed raw value, or nothing.
    std::optional<std::string_view> Value() const {
      if (!has_value) return std::nullopt;
      return std::string_view(line).substr(value_at, value_size);
    }
  };
  struct Section {
    bool has_header = false;  // lines before the first header form a section without one
    std::string header;       // the header line as it stands in the file
    std::string name;
    std::vector<Entry> entries;
    // Name -> index of its first entry, kept only for a section of more
    // than kIndexedEntries entries: a shorter one (a button's dozen) is
    // searched in order, which costs less than keeping an index.
    NameIndex first_entry;
    bool Indexed() const { return entries.size() > kIndexedEntries; }
  };
  static constexpr std::size_t kIndexedEntries = 32;

  static Entry ParseEntry(std::string line);
  void AddSection(bool has_header, std::string header, std::string name);
  void AddEntry(Section& section, Entry entry, std::size_t position);
  const Section* FindSection(std::string_view name) const;
  // The index of the first entry of this (trimmed) name, or nothing.
  static std::optional<std::size_t> FindEntry(const Section& section, std::string_view name);

  bool bom_ = false;
  std::string_view newline_ = "\r\n";  // points at a literal
  std::vector<Section> sections_;
  NameIndex first_section_;  // name -> index of its first section
};

// Reads an integer as the profile readers do: decimal with an optional sign,
// or hexadecimal led by "0x", "0X" or "$" (up to 32 bits; the upper half of
// the range reads as negative numbers). Anything else, including an empty
// text and a number outside 32 bits, gives nothing.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

}  // namespace pelorin
