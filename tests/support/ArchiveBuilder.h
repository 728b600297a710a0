// Archives built in memory from named members, two ways:
// - byte by byte from members whose stored data is given, independent of the format's
//   writers, for checking the reader against bytes written out by hand;
// - with the format's writers and the codec, from members given as plain bytes and a
//   method, with where each part of each member lies, for damaging one field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compress/ArchiveFormat.h"
#include "tests/support/Bytes.h"

// 21 December 1997, 21:09:50 in DOS form (date word 0x2395, time word 0xA939).
inline constexpr uint32_t kMemberDate = 0x2395A939;

struct TRawMember {
  std::string name;
  Bytes data;  // the member's data as stored in the archive
  int32_t expandedSize = 0;
  uint8_t methodCode = 0;
  uint32_t checksum = 0;
  uint16_t attributes = 0x20;
  uint32_t dateTime = kMemberDate;
};

// A stored member holding the text.
TRawMember Stored(const std::string& name, const std::string& text);
// Bytes without 0x94 are their own RLE encoding: each one is a literal.
TRawMember RleLiterals(const std::string& name, const Bytes& plain);

// The archive of these members; TotalSize is the sum of the expanded sizes unless given.
Bytes BuildRawArchive(const std::vector<TRawMember>& members, const std::string& methodId = "LZH",
                      std::optional<int32_t> totalSize = std::nullopt);

struct TPlainMember {
  std::string name;
  uint8_t method = kMethodLzh;  // the member's data is made with this method
  Bytes plain;
};

// Where each part of one member lies in an archive.
struct TMemberSpan {
  int64_t header;  // the 25-byte member header
  int64_t name;    // the name
  int64_t data;    // the data
  int64_t end;     // the first byte after the data
};

struct TBuiltArchive {
  Bytes bytes;
  std::vector<TMemberSpan> spans;
};

// A well-formed archive of the members, compressed with their methods.
TBuiltArchive BuildArchive(const std::vector<TPlainMember>& members,
                           const std::string& methodId = kMethodIdLzh);

// Three members, one per method, of a few kilobytes: text, ini lines, binary records.
const std::vector<TPlainMember>& ThreeMembers();
