#include "platform/win32/serial_ports.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

// Where Windows lists the serial ports present now: one value per port,
// named after its device and holding its name ("COM3"). Readable by every
// user; missing when the machine has no port at all.
constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The outputs' levels are ours alone: DTR enabled (it rises now and stays up
// until cleared), RTS low until SetRts raises it, and none of the handshakes
// that would let the driver switch them or hold back on an input line.
void SetModemLineControl(DCB& dcb) {
  dcb.fBinary = TRUE;  // the only mode Windows supports
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fAbortOnError = FALSE;
  // SetCommState refuses equal XON and XOFF characters even with software
  // flow control off, and some drivers hand out a state with both zero.
  if (dcb.XonChar == dcb.XoffChar) {
    dcb.XonChar = 0x11;   // DC1
    dcb.XoffChar = 0x13;  // DC3
  }
}

// Nothing is read or written through the port, but a read must never wait
// for data and a write must never hang on a stalled device: reads return at
// once with what is there, writes give up after half a second.
COMMTIMEOUTS NonBlockingTimeouts() {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 500;
  return timeouts;
}

class ComPort final : public SerialDevice {
 public:
  ComPort(UniqueHandle handle, std::shared_ptr<std::set<int>> held, int number)
      : handle_(std::move(handle)), held_(std::move(held)), number_(number) {
    held_->insert(number_);
  }
  ~ComPort() override {
    handle_.Reset();
    held_->erase(number_);
  }

  std::optional<std::uint32_t> ReadModemStatus() override {
    DWORD status = 0;
    if (!GetCommModemStatus(handle_.Get(), &status)) return std::nullopt;
    return static_cast<std::uint32_t>(status);
  }
  OsStatus SetUpModemLines() override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_.Get(), &dcb)) return LastError("GetCommState", Path());
    SetModemLineControl(dcb);
    if (!SetCommState(handle_.Get(), &dcb)) return LastError("SetCommState", Path());
    COMMTIMEOUTS timeouts = NonBlockingTimeouts();
    if (!SetCommTimeouts(handle_.Get(), &timeouts)) return LastError("SetCommTimeouts", Path());
    return {};
  }
  OsStatus SetDtr(bool raised) override {
    if (EscapeCommFunction(handle_.Get(), raised ? SETDTR : CLRDTR)) return {};
    return LastError(raised ? "EscapeCommFunction(SETDTR)" : "EscapeCommFunction(CLRDTR)", Path());
  }
  OsStatus SetRts(bool raised) override {
    if (EscapeCommFunction(handle_.Get(), raised ? SETRTS : CLRRTS)) return {};
    return LastError(raised ? "EscapeCommFunction(SETRTS)" : "EscapeCommFunction(CLRRTS)", Path());
  }
  std::intptr_t RawHandle() const override {
    return reinterpret_cast<std::intptr_t>(handle_.Get());
  }

 private:
  std::string Path() const { return ComPortPath(number_); }

  UniqueHandle handle_;
  std::shared_ptr<std::set<int>> held_;
  int number_;
};

// Closes a registry key exactly once.
class KeyCloser {
 public:
  explicit KeyCloser(HKEY key) : key_(key) {}
  ~KeyCloser() { RegCloseKey(key_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  HKEY key_;
};

// The string data of every value of `key`. A value that is no string or
// changes while being read is skipped: the list is a snapshot of a key the
// system rewrites as devices come and go.
std::vector<std::string> StringValues(HKEY key) {
  DWORD longest_name = 0;
  DWORD longest_data = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &longest_name, &longest_data, nullptr, nullptr) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<std::string> values;
  std::wstring name(longest_name + 1, L'\0');
  // The data size is in bytes; one more character leaves room to end it.
  std::vector<wchar_t> data(longest_data / sizeof(wchar_t) + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD name_length = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD data_bytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
    const LSTATUS status = RegEnumValueW(key, index, name.data(), &name_length, nullptr, &type,
                                         reinterpret_cast<BYTE*>(data.data()), &data_bytes);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || type != REG_SZ) continue;
    // Registry strings need not end in a null character; stop at the first
    // one or at the end of the data, whichever comes first.
    std::wstring_view text(data.data(), data_bytes / sizeof(wchar_t));
    text = text.substr(0, text.find(L'\0'));
    values.push_back(Narrow(text));
  }
  return values;
}

}  // namespace

std::string ComPortPath(int number) {
  return "\\\\.\\COM" + std::to_string(number);
}

std::vector<ComPortNumber> SerialPorts::ReportedPorts() const {
  HKEY key = nullptr;
  // No ports at all leaves the key missing; any failure reads as "none
  // reported", and the lists still offer COM1..COM16.
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return {};
  }
  const KeyCloser closer(key);
  return PortsNamed(StringValues(key));
}

Opened<SerialDevice> SerialPorts::Open(int number) {
  const std::string path = ComPortPath(number);
  if (held_->contains(number)) return SystemError(ERROR_BUSY, "open", path);
  UniqueHandle handle(CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  /*dwShareMode=*/0, /*lpSecurityAttributes=*/nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  /*hTemplateFile=*/nullptr));
  if (!handle.Valid()) return LastError("CreateFile", path);
  return std::make_unique<ComPort>(std::move(handle), held_, number);
}

}  // namespace pelorin::win32
