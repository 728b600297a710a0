// Reading and writing LZH streams token by token, for checking what the compressor chose
// and for hand-made streams; and a check of the model's derived tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compress/LzhModel.h"
#include "tests/support/Bytes.h"

// The tokens of an LZH stream as text: "L41" for a literal byte, "M60@0" for a 60-byte
// match at distance code 0.
std::vector<std::string> LzhTokens(const Bytes& stream, int32_t expandedSize);
// The LZH stream of such tokens, written with a fresh model as the compressor would.
Bytes LzhStreamOf(const std::vector<std::string>& tokens);

// Where the model's shortcut tables (grandchildren, grandparents) differ from the tree they
// are derived from, as text; empty when they agree everywhere.
std::string ShortcutMismatch(const TLzhModel& m);
