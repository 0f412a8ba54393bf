#pragma once
#include <concepts>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelorin {

// Why an operating-system call failed: the system's own error code and what
// was attempted on what. A backend fills it in where the call fails, before
// any clean-up can change the system's last error; callers show the user the
// program's own texts and hand this to the trace (platform/trace.h).
struct OsError {
  int code = 0;                // errno on POSIX, the system error code on Windows
  std::string_view operation;  // what was attempted: a literal ("CreateFile", "open")
  std::string subject;         // what it was attempted on: a device, file or key path
  std::string text;            // the system's own words for `code`; may be empty
};

// One line for the trace, e.g.
// "CreateFile \\.\COM7: error 2 (The system cannot find the file specified.)".
std::string Describe(const OsError& error);

// Success, or the error that prevented it. Not to be dropped: a caller that
// goes on regardless says so with (void) and a word why.
class [[nodiscard]] OsStatus {
 public:
  OsStatus() = default;
  // A failure. Implicit, so that a backend can `return error;`.
  OsStatus(OsError error) : error_(std::move(error)), failed_(true) {}  // NOLINT

  explicit operator bool() const { return !failed_; }
  // Why it failed; empty after a success.
  const OsError& error() const { return error_; }

 private:
  OsError error_;
  bool failed_ = false;
};

// An object a seam opened (a device, a key), or why it could not be opened.
// Reads like the pointer it holds: tested in `if`, used through `->`.
template <typename T>
class [[nodiscard]] Opened {
 public:
  // Success: `object` is the opened object and must not be null.
  template <typename U>
  requires std::convertible_to<U*, T*> Opened(std::unique_ptr<U> object)
      : object_(std::move(object)) {}  // NOLINT
  // Failure.
  Opened(OsError error) : error_(std::move(error)) {}  // NOLINT

  explicit operator bool() const { return object_ != nullptr; }
  T* operator->() const { return object_.get(); }
  T& operator*() const { return *object_; }
  // Takes the object out; null when the open failed (the caller keeps the
  // cause with error() first if it wants it).
  std::unique_ptr<T> Release() { return std::move(object_); }
  // Why the open failed; empty after a success.
  const OsError& error() const { return error_; }

 private:
  std::unique_ptr<T> object_;
  OsError error_;
};

// A value a seam read, or why it could not be read. Reads like the optional
// it resembles: tested in `if`, used through `*` and `->`.
template <typename T>
class [[nodiscard]] Answer {
 public:
  // Success. Implicit, so that a backend can `return value;`.
  Answer(T value) : value_(std::move(value)) {}  // NOLINT
  // Failure.
  Answer(OsError error) : error_(std::move(error)) {}  // NOLINT

  explicit operator bool() const { return value_.has_value(); }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }
  // Why the read failed; empty after a success.
  const OsError& error() const { return error_; }

 private:
  std::optional<T> value_;
  OsError error_;
};

}  // namespace pelorin
