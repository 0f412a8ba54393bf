#pragma once
#include <string>

namespace pelorin::linux_os {

// A system library the program loads at its first use rather than with the
// program (dlopen), for libraries that bring many others and that a run may
// never need. The functions are looked up by name into a table of pointers
// whose types come from the library's own headers.
class LoadedLibrary {
 public:
  // Opens `file` (a run-time name such as "libpulse.so.0"); on failure
  // IsOpen() is false and Why() says why.
  explicit LoadedLibrary(const char* file);
  // Closes the library unless Keep() was called.
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }

  // Looks `name` up into `function`; a missing one is noted for Why().
  template <typename Function>
  void Find(const char* name, Function& function) {
    function = reinterpret_cast<Function>(Symbol(name));
  }

  // Whether it opened and every function looked up was found; else why not.
  bool Complete() const { return handle_ != nullptr && missing_.empty(); }
  std::string Why() const;

  // Keeps the library loaded until the process ends: its functions may be
  // in use anywhere once one table holds them.
  void Keep() { kept_ = true; }

 private:
  void* Symbol(const char* name);

  std::string file_;
  void* handle_ = nullptr;
  std::string open_error_;
  std::string missing_;
  bool kept_ = false;
};

}  // namespace pelorin::linux_os
