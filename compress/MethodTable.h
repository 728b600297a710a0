// The methods an archive may use, one row each: the member header's code, the archive
// header's id and how the method expands. Every reader of methods goes through these rows:
// the id check of the archive header, the engine, the archiver's listing. This is the half
// of each row that installing needs; the other half, how a method compresses, is
// kMethodCompressors (compress/compressor/MethodCompressors.h), which the setup program does
// not link, and the build refuses two halves that do not match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compress/LzhExpand.h"
#include "compress/Rle.h"

// How a member's data is encoded (the member header's MethodCode).
inline constexpr uint8_t kMethodStored = 0;
inline constexpr uint8_t kMethodRle = 1;
inline constexpr uint8_t kMethodLzh = 2;
inline constexpr uint8_t kMethodCustom = 3;

// The archive header's method identifiers, three letters, compared with case.
inline constexpr char kMethodIdStored[] = "NON";
inline constexpr char kMethodIdRle[] = "RLE";
inline constexpr char kMethodIdLzh[] = "LZH";
inline constexpr char kMethodIdCustom[] = "CUS";

// Expands the channel's input into the member's DestSize bytes (or until the input ends,
// for a method whose stream tells its own end).
using TChannelExpander = void (*)(TByteChannel& channel, int32_t DestSize);

// How the engine runs a method's data.
enum class TMethodKind : uint8_t {
  mkStored,   // the file's bytes themselves, copied; their checksum is not tested
  mkChannel,  // expanded through the byte channel by the row's expander
  mkCustom,   // read by the application's OnExpand handler
};

struct TMethod {
  uint8_t Code;
  const char* Id;
  TMethodKind Kind;
  TChannelExpander Expand;  // for mkChannel only
};

inline constexpr TMethod kMethodTable[] = {
    {kMethodStored, kMethodIdStored, TMethodKind::mkStored, nullptr},
    {kMethodRle, kMethodIdRle, TMethodKind::mkChannel, RleExpand},
    {kMethodLzh, kMethodIdLzh, TMethodKind::mkChannel, LzhExpand},
    {kMethodCustom, kMethodIdCustom, TMethodKind::mkCustom, nullptr},
};

// The first row of a table whose field equals the key, or null.
template <class Row, size_t N, class Field, class Key>
constexpr const Row* RowWhere(const Row (&table)[N], Field Row::*field, const Key& key) {
  for (const Row& row : table) {
    if (key == row.*field) return &row;
  }
  return nullptr;
}

// The row of a code, or null. An int, so that no value out of a byte's range wraps onto one.
constexpr const TMethod* MethodByCode(int code) {
  return RowWhere(kMethodTable, &TMethod::Code, code);
}

// The row of an archive header's id, compared with case, or null.
constexpr const TMethod* MethodById(std::string_view id) {
  return RowWhere(kMethodTable, &TMethod::Id, id);
}
