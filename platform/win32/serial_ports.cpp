#include "platform/win32/serial_ports.h"

#include <windows.h>

#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace pelorin::win32 {
namespace {

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
  // The outputs only feed buttons and an LED; a failed switch has nothing
  // to report to, so the result is ignored on purpose.
  void SetDtr(bool raised) override { EscapeCommFunction(handle_.Get(), raised ? SETDTR : CLRDTR); }
  void SetRts(bool raised) override { EscapeCommFunction(handle_.Get(), raised ? SETRTS : CLRRTS); }
  std::intptr_t RawHandle() const override {
    return reinterpret_cast<std::intptr_t>(handle_.Get());
  }

 private:
  UniqueHandle handle_;
  std::shared_ptr<std::set<int>> held_;
  int number_;
};

}  // namespace

std::string ComPortPath(int number) {
  return "\\\\.\\COM" + std::to_string(number);
}

Opened<SerialDevice> SerialPorts::Open(int number) {
  const std::string path = ComPortPath(number);
  if (held_->contains(number)) return SystemError(ERROR_BUSY, "open", path);
  UniqueHandle handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  /*dwShareMode=*/0, /*lpSecurityAttributes=*/nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  /*hTemplateFile=*/nullptr));
  if (!handle.Valid()) return LastError("CreateFile", path);
  return std::make_unique<ComPort>(std::move(handle), held_, number);
}

}  // namespace pelorin::win32
