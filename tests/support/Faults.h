// The errors that the archive code raises on damaged input or a failing disk, by class: one
// ladder that names the exception being handled, for the tests of damaged archives and for
// the fuzz targets' checks.
#pragma once

#include <functional>
#include <string>

enum class TFault {
  fNone,
  fInvalidHeader,   // EInvalidHeader
  fArchiveType,     // EInvalidHeaderArchiveType
  fUnknownMethod,   // EUnrecognizedCompressionMethod
  fMemberSize,      // EInvalidMemberSize
  fDiskSpace,       // EInsufficientDiskSpace
  fBadChecksum,     // EBadChecksum
  fReadError,       // EReadError
  fWriteError,      // EWriteError
  fInOut,           // EInOutError
  fFileCreate,      // EFCreateError
  fOtherException,  // any other Exception: a finding wherever it appears
  fForeign,         // not an Exception at all (std::bad_alloc, std::out_of_range, ...)
};

// The kind of the exception being handled; call only inside a catch block. The message of
// any other exception goes to stderr, since its kind alone does not tell what it was.
TFault CurrentFault();
// The class name ("EBadChecksum"), "none", "another Exception" or "a foreign exception".
const char* FaultName(TFault fault);

// Runs the operation and names the class of what it raised, "" when it returned normally.
std::string FaultOf(const std::function<void()>& operation);
