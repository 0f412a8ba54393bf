#pragma once

namespace pelorin::testing {

// The error codes the fakes answer with: Windows' own numbers, since the
// fakes stand in for the Windows program's services.
inline constexpr int kFakeNotFound = 2;         // ERROR_FILE_NOT_FOUND
inline constexpr int kFakePathNotFound = 3;     // ERROR_PATH_NOT_FOUND
inline constexpr int kFakeAccessDenied = 5;     // ERROR_ACCESS_DENIED
inline constexpr int kFakeGeneralFailure = 31;  // ERROR_GEN_FAILURE
inline constexpr int kFakeFileExists = 80;      // ERROR_FILE_EXISTS
inline constexpr int kFakeDiskFull = 112;       // ERROR_DISK_FULL

}  // namespace pelorin::testing
