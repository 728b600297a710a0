// The archive's byte layout: a 21-byte archive header, then member after member (a 25-byte
// member header, the name, the data) up to the end of the stream. There is no directory and
// no end marker. All integers are little-endian and are read from bytes, never by
// overlaying structs, so the layout holds on any host.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "compress/CompressEvents.h"
#include "compress/MethodTable.h"
#include "toolkit/Object.h"

class TStream;

inline constexpr std::array<uint8_t, 5> kArchiveSignature = {0x51, 0x55, 0x49, 0x58, 0x1A};
inline constexpr int32_t kArchiveHeaderSize = 21;
inline constexpr int32_t kMemberHeaderSize = 25;
inline constexpr int32_t kMethodIdLength = 3;
inline constexpr int32_t kMaxNameLength = 32767;  // NameLength is a signed 16-bit field

// The only archive type a reader accepts: an archive of several members.
inline constexpr uint8_t caMulti = 1;

// The file attribute that every member of the setup's archive carries.
inline constexpr uint16_t kArchiveAttribute = 0x0020;

// A default-constructed header is the one a stream shorter than a header stands for: the
// signature, TotalSize 0, caMulti, reserved fields 0.
struct TArchiveHeader {
  std::array<uint8_t, 5> Signature = kArchiveSignature;
  std::array<char, 3> MethodId = {'N', 'O', 'N'};
  int32_t TotalSize = 0;
  uint8_t ArchiveType = caMulti;
  uint32_t Reserved1 = 0;
  uint32_t Reserved2 = 0;
};

struct TMemberHeader {
  int16_t NameLength = 0;
  uint32_t DateTime = 0;  // DOS packed, local time: date word high, time word low
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t CompressedSize = 0;
  uint8_t MethodCode = kMethodStored;
  uint32_t Checksum = 0;  // sum of the expanded bytes modulo 2^32
  uint32_t Reserved = 0;
};

// One member as a listing describes it; attached to the member's name in a member list.
class TCompressedFileInfo : public TObject {
public:
  TCompressedFileInfo() = default;
  TCompressedFileInfo(const TMemberHeader& header, int32_t headerOffset)
      : DateTime(header.DateTime),
        Attributes(header.Attributes),
        ExpandedSize(header.ExpandedSize),
        CompressedSize(header.CompressedSize),
        MethodCode(header.MethodCode),
        Checksum(header.Checksum),
        HeaderOffset(headerOffset) {}

  uint32_t DateTime = 0;
  uint16_t Attributes = 0;
  int32_t ExpandedSize = 0;
  int32_t CompressedSize = 0;
  uint8_t MethodCode = kMethodStored;
  uint32_t Checksum = 0;
  int32_t HeaderOffset = 0;  // where the member's 25-byte header starts in the archive
};

// Reads the archive header from the start of the stream and leaves the stream at the first
// member header (at 0 when the stream is shorter than a header, which then counts as an
// archive without members and yields the default header). Raises EInvalidHeader,
// EInvalidHeaderArchiveType or EUnrecognizedCompressionMethod.
void ReadArchiveHeader(TStream& Stream, TArchiveHeader& Header, std::string& MethodId,
                       const TExpandEvent& OnExpand, const TRecognizeEvent& OnRecognize);

// Reads the member header and name at the current position. False when either is cut
// short by the end of the stream (or NameLength is negative): the member sequence ends
// there. On true the stream stands at the member's data. A complete header with a negative
// CompressedSize raises EInvalidMemberSize, so that no walk can step backwards forever.
bool ReadMemberHeader(TStream& Stream, TMemberHeader& Header, std::string& Name);

// Maps a method id to its code by the method table, consulting the component's handlers
// for custom ids. Raises EUnrecognizedCompressionMethod for an id that maps to nothing and is not
// "NON".
uint8_t MethodCodeFromId(const std::string& MethodId, const TExpandEvent& OnExpand,
                         const TRecognizeEvent& OnRecognize);

// Writers of both headers, byte for byte the layout the readers expect. The member
// header's NameLength is taken from Name; a name longer than kMaxNameLength raises
// EInvalidOperation. Write errors raise EWriteError.
void WriteArchiveHeader(TStream& Stream, const TArchiveHeader& Header);
void WriteMemberHeader(TStream& Stream, const TMemberHeader& Header, const std::string& Name);

// The id as text, and a header's id set from text (the first three characters).
std::string MethodIdText(const TArchiveHeader& Header);
void SetMethodId(TArchiveHeader& Header, const std::string& MethodId);
