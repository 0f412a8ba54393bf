#pragma once
#include <windows.h>

#include <objbase.h>

namespace pelorin::win32 {

// COM for the calling thread, as a single-threaded apartment (the thread
// runs the program's windows and message loop, which such an apartment
// needs; the shell's start calls want one too). Ended when the object goes
// away. When COM cannot be set up the object still exists and every COM
// call made on the thread fails on its own (CO_E_NOTINITIALIZED), which the
// callers treat as "not there".
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

// Sets up COM on the calling thread the first time it is called there, for
// the rest of the thread's life. Every part that uses COM (the volumes, the
// shell's starts, the file dialogs) calls it before its first COM call, so a
// program that is only started, polls its port and ends never loads COM:
// its libraries are loaded on first use, and setting up the apartment
// creates a window, which would lengthen every start.
inline void EnsureComOnThisThread() {
  thread_local const ComApartment apartment;
  (void)apartment;
}

}  // namespace pelorin::win32
