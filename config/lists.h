#pragma once
#include <array>
#include <string_view>

// The texts of every enumerated setting, in list order: a stored number is an
// index into its list. The properties window shows them from here.
namespace pelorin::lists {

inline constexpr std::array<std::string_view, 5> kIfInactive = {
    "Start Winamp", "Ask every click to start", "Ask once to start", "Do nothing",
    "Send media keys (any player)"};

inline constexpr std::array<std::string_view, 6> kButtonInactivePrimary = {
    "Default (in Options tab)", "Start Winamp", "Ask every click to start",
    "Ask once to start",        "Do nothing",   "Send media keys (any player)"};
inline constexpr std::array<std::string_view, 6> kButtonInactiveSecondary = {
    "Default (in Options)", "Start Winamp", "Always ask to start",
    "Ask once to start",    "Do nothing",   "Send media keys (any player)"};

inline constexpr std::array<std::string_view, 6> kOnTrayClick = {"Start Winamp",
                                                                 "Open volume control",
                                                                 "Open simple volume ctrl",
                                                                 "Winamp \"Open file\" dialog",
                                                                 "Open this window",
                                                                 "Do nothing"};

inline constexpr std::array<std::string_view, 3> kInternetType = {"LAN (Proxy, DSL, T# etc.)",
                                                                  "Dial-Up (Modem)", "None"};

inline constexpr std::array<std::string_view, 4> kPortMode = {
    "4 buttons", "4 buttons: Button4 = Shift", "4 buttons: Button3&4 = Shifts", "15 buttons"};

inline constexpr std::array<std::string_view, 5> kClickMode = {"Clicks", "Down/Up", "Turbo",
                                                               "Clicks+Turbo", "Clicks+Hold"};

inline constexpr std::array<std::string_view, 6> kLedMode = {
    "Turn on", "Flash", "No flash", "Flash (inv.)", "No flash (inv.)", "Turn off"};

inline constexpr std::array<std::string_view, 6> kLedCondition = {
    "Pelorin is running", "Winamp is running", "Winamp is playing",
    "Winamp is paused",   "Winamp is stopped", "Button is pressed"};

inline constexpr std::array<std::string_view, 5> kLineAssignmentPrimary = {"None", "1", "2", "3",
                                                                           "4"};
inline constexpr std::array<std::string_view, 5> kLineAssignmentSecondary = {"None", "5", "6", "7",
                                                                             "8"};

// The ports every port list offers, whether present or not; the lists add
// the higher ports the system reports.
inline constexpr std::array<std::string_view, 16> kPorts = {
    "COM1", "COM2",  "COM3",  "COM4",  "COM5",  "COM6",  "COM7",  "COM8",
    "COM9", "COM10", "COM11", "COM12", "COM13", "COM14", "COM15", "COM16"};

// Event slot labels of the mapping editor, per ClickMode ("" = slot not used).
inline constexpr std::array<std::array<std::string_view, 3>, 5> kEventSlotLabels = {{
    {"Single click", "Double-click", ""},
    {"Button down", "Button up", ""},
    {"", "", "Turbo"},
    {"Single click", "Double-click", "Turbo"},
    {"Single click", "Double-click", "After holding"},
}};

// True when `index` selects an entry of a list of `size` entries.
constexpr bool InList(int index, std::size_t size) {
  return index >= 0 && static_cast<std::size_t>(index) < size;
}

}  // namespace pelorin::lists
