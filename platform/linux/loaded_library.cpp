#include "platform/linux/loaded_library.h"

#include <dlfcn.h>

namespace pelorin::linux_os {

LoadedLibrary::LoadedLibrary(const char* file) : file_(file) {
  handle_ = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* error = ::dlerror();
    open_error_ = error != nullptr ? error : file_ + " does not load";
  }
}

LoadedLibrary::~LoadedLibrary() {
  if (handle_ != nullptr && !kept_) ::dlclose(handle_);
}

void* LoadedLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) return nullptr;
  void* symbol = ::dlsym(handle_, name);
  if (symbol == nullptr) missing_ += (missing_.empty() ? "" : ", ") + std::string(name);
  return symbol;
}

std::string LoadedLibrary::Why() const {
  if (handle_ == nullptr) return open_error_;
  if (!missing_.empty()) return file_ + " lacks " + missing_;
  return {};
}

}  // namespace pelorin::linux_os
