#include "actions/keys_and_start.h"

#include <array>
#include <utility>

#include "actions/text_split.h"
#include "config/settings.h"

namespace pelorin {
namespace {

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12;

// Modifier bits with their keys, in the order they go down.
constexpr std::array<std::pair<std::uint16_t, std::uint8_t>, 3> kModifiers = {
    {{kKeyAlt, kVkMenu}, {kKeyCtrl, kVkControl}, {kKeyShift, kVkShift}}};

constexpr std::array<std::pair<int, std::string_view>, 41> kNamedKeys = {{
    {8, "Backspace"},  {13, "Enter"},     {16, "Shift"},     {17, "Ctrl"},         {18, "Alt"},
    {19, "Pause"},     {20, "Caps Lock"}, {27, "Escape"},    {32, "Space"},        {33, "Page Up"},
    {34, "Page Dn"},   {35, "End"},       {36, "Home"},      {37, "Left"},         {38, "Up"},
    {39, "Right"},     {40, "Down"},      {45, "Insert"},    {46, "Delete"},       {91, "Left Win"},
    {92, "Right Win"}, {93, "Popup"},     {106, "Num *"},    {107, "Num +"},       {109, "Num -"},
    {110, "Num ."},    {111, "Num /"},    {144, "Num Lock"}, {145, "Scroll Lock"}, {186, ";"},
    {187, "="},        {188, ","},        {189, "-"},        {190, "."},           {191, "/"},
    {192, "~"},        {219, "["},        {220, "\\"},       {221, "]"},           {222, "'"},
    {226, "Left \\"},
}};

constexpr int kVkF1 = 112;
constexpr int kVkF12 = 123;
constexpr int kVkNumpad0 = 96;
constexpr int kVkNumpad9 = 105;

}  // namespace

void PressKey(Keyboard& keyboard, std::uint16_t key) {
  const auto code = static_cast<std::uint8_t>(key & kKeyCodeMask);
  for (const auto& [bit, vk] : kModifiers) {
    if (key & bit) keyboard.KeyEvent(vk, false);
  }
  keyboard.KeyEvent(code, false);
  keyboard.KeyEvent(code, true);
  for (auto it = kModifiers.rbegin(); it != kModifiers.rend(); ++it) {
    if (key & it->first) keyboard.KeyEvent(it->second, true);
  }
}

std::string KeyName(int code) {
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
    return std::string(1, static_cast<char>(code));
  }
  if (code >= kVkNumpad0 && code <= kVkNumpad9) {
    return "Num " + std::string(1, static_cast<char>(code - 48));
  }
  if (code >= kVkF1 && code <= kVkF12) return "F" + std::to_string(code - kVkF1 + 1);
  for (const auto& [named, name] : kNamedKeys) {
    if (named == code) return std::string(name);
  }
  return "#" + std::to_string(code);
}

ExecParts SplitExecText(std::string_view exec, char separator) {
  const std::string_view quoted = SplitAtChar(exec, '"', SplitAt::First, SplitTake::After);
  const std::string_view path = SplitAtChar(quoted, '"', SplitAt::First, SplitTake::Before);
  return ExecParts{
      .file = std::string(SplitAtChar(path, separator, SplitAt::Last, SplitTake::After)),
      .parameters = std::string(SplitAtChar(quoted, '"', SplitAt::First, SplitTake::After)),
      .directory = std::string(SplitAtChar(path, separator, SplitAt::Last, SplitTake::Before)),
  };
}

void StartFile(Shell& shell, const std::string& file, const std::string& parameters,
               const std::string& directory, int show_command) {
  // The result is not examined on purpose: a file that cannot be started
  // simply does nothing.
  shell.Execute(file, parameters, directory, show_command);
}

void StartExec(Shell& shell, std::string_view exec, char separator) {
  const ExecParts parts = SplitExecText(exec, separator);
  StartFile(shell, parts.file, parts.parameters, parts.directory, kShowNormal);
}

}  // namespace pelorin
