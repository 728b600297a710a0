// The archive component's errors, each with its fixed message.
#pragma once

#include <string>

#include "toolkit/Exception.h"

class EInvalidHeader : public Exception {
public:
  EInvalidHeader() : Exception("Can't recognize compressed file header") {}
};

class EInvalidHeaderArchiveType : public Exception {
public:
  EInvalidHeaderArchiveType() : Exception("Archive type must be caMulti") {}
};

class EUnrecognizedCompressionMethod : public Exception {
public:
  EUnrecognizedCompressionMethod() : Exception("Unrecognized compression method in header") {}
};

class EInsufficientDiskSpace : public Exception {
public:
  explicit EInsufficientDiskSpace(const std::string& targetPath)
      : Exception("Not enough disk space to expand " + targetPath) {}
};

class EBadChecksum : public Exception {
public:
  EBadChecksum() : Exception("Bad checksum during expansion -- data may be invalid") {}
};

// A member header whose CompressedSize is negative: the walk would step backwards.
class EInvalidMemberSize : public Exception {
public:
  EInvalidMemberSize()
      : Exception("Damaged archive: a member header holds a negative compressed size") {}
};
