// The compressing half of the method table's rows (compress/MethodTable.h): how a member is
// packed with a method, and the name a person packing chooses it by. It lives here, apart
// from the expanding half, so that the setup program carries no compressor.
#pragma once

#include <string_view>

#include "compress/MethodTable.h"
#include "compress/compressor/LzhCompress.h"
#include "compress/compressor/RleCompress.h"

class TByteChannel;

// Compresses the channel's input until it ends.
using TChannelCompressor = void (*)(TByteChannel& channel);

struct TMethodCompressor {
  uint8_t Code;      // the row of the method table that this half completes
  const char* Name;  // as `archiver create --method` takes it
  // For a method of the kind mkChannel; stored data is copied as it is.
  TChannelCompressor Compress;
};

// The order in which the archiver offers them, its default first.
inline constexpr TMethodCompressor kMethodCompressors[] = {
    {kMethodLzh, "lzh", LzhCompress},
    {kMethodRle, "rle", RleCompress},
    {kMethodStored, "none", nullptr},
};

// The compressing half of a code, or null. An int, as for MethodByCode.
constexpr const TMethodCompressor* CompressorByCode(int code) {
  return RowWhere(kMethodCompressors, &TMethodCompressor::Code, code);
}

// The compressing half of a name, or null.
constexpr const TMethodCompressor* CompressorByName(std::string_view name) {
  return RowWhere(kMethodCompressors, &TMethodCompressor::Name, name);
}

// Each half belongs to a row of the table, once, and every method that expands through the
// channel has its compressing half: a method added to one half only does not build.
constexpr bool MethodHalvesAgree() {
  for (const TMethod& method : kMethodTable) {
    int halves = 0;
    for (const TMethodCompressor& compressor : kMethodCompressors) {
      halves += compressor.Code == method.Code ? 1 : 0;
    }
    if (halves > 1 || (method.Kind == TMethodKind::mkChannel && halves == 0)) return false;
  }
  for (const TMethodCompressor& compressor : kMethodCompressors) {
    int rows = 0;
    for (const TMethod& method : kMethodTable) rows += method.Code == compressor.Code ? 1 : 0;
    if (rows != 1) return false;
  }
  return true;
}
static_assert(MethodHalvesAgree(),
              "every method that expands through the channel needs its compressing half");
