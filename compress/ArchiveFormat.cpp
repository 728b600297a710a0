#include "compress/ArchiveFormat.h"

#include <algorithm>

#include "compress/CompressErrors.h"
#include "toolkit/Stream.h"

namespace {

uint16_t GetU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

// Field offsets of the archive header.
constexpr int kOffSignature = 0;
constexpr int kOffMethodId = 5;
constexpr int kOffTotalSize = 8;
constexpr int kOffArchiveType = 12;
constexpr int kOffReserved1 = 13;
constexpr int kOffReserved2 = 17;

// Field offsets of the member header.
constexpr int kOffNameLength = 0;
constexpr int kOffDateTime = 2;
constexpr int kOffAttributes = 6;
constexpr int kOffExpandedSize = 8;
constexpr int kOffCompressedSize = 12;
constexpr int kOffMethodCode = 16;
constexpr int kOffChecksum = 17;
constexpr int kOffReserved = 21;

}  // namespace

std::string MethodIdText(const TArchiveHeader& Header) {
  return std::string(Header.MethodId.begin(), Header.MethodId.end());
}

void SetMethodId(TArchiveHeader& Header, const std::string& MethodId) {
  Header.MethodId.fill(' ');
  std::copy_n(MethodId.begin(), std::min<size_t>(MethodId.size(), kMethodIdLength),
              Header.MethodId.begin());
}

uint8_t MethodCodeFromId(const std::string& MethodId, const TExpandEvent& OnExpand,
                         const TRecognizeEvent& OnRecognize) {
  const TMethod* method = MethodById(MethodId);
  uint8_t code = kMethodStored;
  if (method != nullptr && method->Kind == TMethodKind::mkChannel) {
    code = method->Code;
  } else if (OnExpand) {
    if (method != nullptr && method->Kind == TMethodKind::mkCustom) {
      code = kMethodCustom;
    } else if (OnRecognize) {
      bool recognized = false;
      OnRecognize(MethodId, recognized);
      if (recognized) code = kMethodCustom;
    }
  }
  if (code == kMethodStored && MethodId != kMethodIdStored) {
    throw EUnrecognizedCompressionMethod();
  }
  return code;
}

void ReadArchiveHeader(TStream& Stream, TArchiveHeader& Header, std::string& MethodId,
                       const TExpandEvent& OnExpand, const TRecognizeEvent& OnRecognize) {
  Stream.SetPosition(0);
  if (Stream.Size() < kArchiveHeaderSize) {
    // Too short for a header: an archive without members.
    Header = TArchiveHeader();
    MethodId = MethodIdText(Header);
    return;
  }
  uint8_t bytes[kArchiveHeaderSize];
  Stream.ReadBuffer(bytes, kArchiveHeaderSize);
  std::copy_n(bytes + kOffSignature, Header.Signature.size(), Header.Signature.begin());
  std::copy_n(bytes + kOffMethodId, kMethodIdLength, Header.MethodId.begin());
  Header.TotalSize = static_cast<int32_t>(GetU32(bytes + kOffTotalSize));
  Header.ArchiveType = bytes[kOffArchiveType];
  Header.Reserved1 = GetU32(bytes + kOffReserved1);
  Header.Reserved2 = GetU32(bytes + kOffReserved2);

  if (Header.Signature != kArchiveSignature) throw EInvalidHeader();
  if (Header.ArchiveType != caMulti) throw EInvalidHeaderArchiveType();
  MethodId = MethodIdText(Header);
  MethodCodeFromId(MethodId, OnExpand, OnRecognize);
}

bool ReadMemberHeader(TStream& Stream, TMemberHeader& Header, std::string& Name) {
  uint8_t bytes[kMemberHeaderSize];
  if (Stream.Read(bytes, kMemberHeaderSize) != kMemberHeaderSize) return false;
  Header.NameLength = static_cast<int16_t>(GetU16(bytes + kOffNameLength));
  Header.DateTime = GetU32(bytes + kOffDateTime);
  Header.Attributes = GetU16(bytes + kOffAttributes);
  Header.ExpandedSize = static_cast<int32_t>(GetU32(bytes + kOffExpandedSize));
  Header.CompressedSize = static_cast<int32_t>(GetU32(bytes + kOffCompressedSize));
  Header.MethodCode = bytes[kOffMethodCode];
  Header.Checksum = GetU32(bytes + kOffChecksum);
  Header.Reserved = GetU32(bytes + kOffReserved);

  // A negative length reads nothing and counts as a short read.
  if (Header.NameLength < 0) return false;
  Name.assign(static_cast<size_t>(Header.NameLength), '\0');
  if (Stream.Read(Name.data(), Header.NameLength) != Header.NameLength) return false;
  // A complete header that would send the walk backwards: the archive is damaged.
  if (Header.CompressedSize < 0) throw EInvalidMemberSize();
  return true;
}

void WriteArchiveHeader(TStream& Stream, const TArchiveHeader& Header) {
  uint8_t bytes[kArchiveHeaderSize];
  std::copy(Header.Signature.begin(), Header.Signature.end(), bytes + kOffSignature);
  std::copy(Header.MethodId.begin(), Header.MethodId.end(), bytes + kOffMethodId);
  PutU32(bytes + kOffTotalSize, static_cast<uint32_t>(Header.TotalSize));
  bytes[kOffArchiveType] = Header.ArchiveType;
  PutU32(bytes + kOffReserved1, Header.Reserved1);
  PutU32(bytes + kOffReserved2, Header.Reserved2);
  Stream.WriteBuffer(bytes, kArchiveHeaderSize);
}

void WriteMemberHeader(TStream& Stream, const TMemberHeader& Header, const std::string& Name) {
  if (Name.size() > static_cast<size_t>(kMaxNameLength)) {
    throw EInvalidOperation("Member name too long: " + Name.substr(0, 64) + "...");
  }
  uint8_t bytes[kMemberHeaderSize];
  PutU16(bytes + kOffNameLength, static_cast<uint16_t>(Name.size()));
  PutU32(bytes + kOffDateTime, Header.DateTime);
  PutU16(bytes + kOffAttributes, Header.Attributes);
  PutU32(bytes + kOffExpandedSize, static_cast<uint32_t>(Header.ExpandedSize));
  PutU32(bytes + kOffCompressedSize, static_cast<uint32_t>(Header.CompressedSize));
  bytes[kOffMethodCode] = Header.MethodCode;
  PutU32(bytes + kOffChecksum, Header.Checksum);
  PutU32(bytes + kOffReserved, Header.Reserved);
  Stream.WriteBuffer(bytes, kMemberHeaderSize);
  Stream.WriteBuffer(Name.data(), static_cast<int32_t>(Name.size()));
}
