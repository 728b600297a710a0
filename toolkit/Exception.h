// The toolkit's base exception and the errors the toolkit itself raises. Every error of
// the program derives directly from Exception and carries a fixed English message.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// Declares an exception class that only carries its message.
#define KESTREL_DECLARE_EXCEPTION(Name)                                   \
  class Name : public Exception {                                         \
  public:                                                                 \
    explicit Name(std::string message) : Exception(std::move(message)) {} \
  }

KESTREL_DECLARE_EXCEPTION(EInvalidOperation);
KESTREL_DECLARE_EXCEPTION(ERegistryException);
KESTREL_DECLARE_EXCEPTION(EConvertError);

// "Resource %s not found"
class EResNotFound : public Exception {
public:
  explicit EResNotFound(const std::string& resourceName);
};

// "Cannot create file %s"
class EFCreateError : public Exception {
public:
  explicit EFCreateError(const std::string& fileName);
};

// "Cannot open file %s"
class EFOpenError : public Exception {
public:
  explicit EFOpenError(const std::string& fileName);
};

// "Stream read error"
class EReadError : public Exception {
public:
  EReadError();
};

// "Stream write error"
class EWriteError : public Exception {
public:
  EWriteError();
};

// "Out of memory"
class EOutOfMemory : public Exception {
public:
  EOutOfMemory();
};

// The runtime's input/output error for a system error code (Windows numbering: 2 file
// not found, 5 access denied, 112 disk full, ...).
class EInOutError : public Exception {
public:
  explicit EInOutError(uint32_t errorCode);
  uint32_t ErrorCode() const { return errorCode_; }

private:
  uint32_t errorCode_;
};
