// Feeds arbitrary bytes to the profile reader as a configuration file and
// checks that a save keeps what was read: every probed key reads the same
// from the saved text, and a value just set reads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/profile.h"

namespace {

constexpr std::string_view kSections[] = {"Options", "Primary", "Port1Button1", "", "A"};
constexpr std::string_view kKeys[] = {"Port", "Exec1", "DblClickSpeed", "", "Key"};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  pelorin::ProfileDocument document = pelorin::ProfileDocument::Parse(bytes);
  for (std::string_view section : kSections) {
    for (std::string_view key : kKeys) {
      auto value = document.Get(section, key);
      if (value) {
        Check(value->size() <= pelorin::ProfileDocument::kMaxValueLength);
        (void)pelorin::ParseProfileInteger(*value);
      }
    }
  }

  pelorin::ProfileDocument saved = pelorin::ProfileDocument::Parse(document.Serialize());
  for (std::string_view section : kSections) {
    for (std::string_view key : kKeys) Check(saved.Get(section, key) == document.Get(section, key));
  }

  // The tail of the input doubles as a value to store.
  std::string_view value = bytes.substr(bytes.size() / 2, 64);
  document.Set("Options", "Warn", value);
  pelorin::ProfileDocument changed = pelorin::ProfileDocument::Parse(document.Serialize());
  Check(changed.Get("Options", "Warn") == document.Get("Options", "Warn"));
  Check(changed.Get("Primary", "Port") == saved.Get("Primary", "Port"));
  return 0;
}
