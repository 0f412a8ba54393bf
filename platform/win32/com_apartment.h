#pragma once
#include <windows.h>

#include <objbase.h>

namespace pelorin::win32 {

// COM for the calling thread, as a single-threaded apartment (the thread
// runs the program's windows and message loop, which such an apartment
// needs; the shell's start calls want one too). Made once at start-up on the
// thread that uses COM and ended when the object goes away. When COM cannot
// be set up the object still exists and every COM call made on the thread
// fails on its own (CO_E_NOTINITIALIZED), which the callers treat as "not
// there".
class ComApartment {
 public:
  ComApartment()
      : initialised_(SUCCEEDED(
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  // Every successful initialisation, also S_FALSE for a thread that had one,
  // must be matched by exactly one end; a refused one (another apartment
  // kind on this thread) must not be.
  ~ComApartment() {
    if (initialised_) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Initialised() const { return initialised_; }

 private:
  bool initialised_;
};

}  // namespace pelorin::win32
