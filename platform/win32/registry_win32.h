#pragma once
#include "platform/registry.h"

namespace pelorin::win32 {

// The Windows registry through the wide calls, with UTF-8 names and texts
// converted at each call. Full access is KEY_ALL_ACCESS,
// read access KEY_READ; the views are KEY_WOW64_32KEY and KEY_WOW64_64KEY,
// the native view neither.
class Win32Registry final : public Registry {
 public:
  Opened<RegistryKey> OpenInView(RegistryView view, RegistryRoot root, const std::string& path,
                                 KeyAccess access, bool create) override;
};

}  // namespace pelorin::win32
