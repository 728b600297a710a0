// Seekable byte streams: the abstract TStream, a growable memory stream and a read-only
// view of memory owned by someone else (a resource, a test buffer).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/Object.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
  // Reads up to count bytes; returns how many arrived (0 at the end of the stream).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  // Reads exactly count bytes or raises EReadError.
  void ReadBuffer(void* buffer, int32_t count);
  // Writes exactly count bytes or raises EWriteError.
  void WriteBuffer(const void* buffer, int32_t count);
  // Copies exactly count bytes from source's current position; EReadError when the
  // source ends first, EWriteError when this stream refuses them.
  void CopyFrom(TStream& source, int64_t count);
};

class TMemoryStream : public TStream {
public:
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }

  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t>& Bytes() { return data_; }
  void Clear();

private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// Reads bytes that live elsewhere for at least as long as the stream; writing raises
// EWriteError.
class TReadOnlyMemoryStream : public TStream {
public:
  TReadOnlyMemoryStream(const void* data, int64_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }

private:
  const uint8_t* data_;
  int64_t size_;
  int64_t position_ = 0;
};
