// The benchmark corpus as both bench programs read it: every file of CORPUS_DIR/MANIFEST
// ("size sha256 set/name" lines), with its stream made by our LZH compressor, checked to
// come back whole through both decoders before anything is timed.
#pragma once

#include <string>
#include <vector>

#include "tests/support/Bytes.h"
#include "tests/support/MemoryStreams.h"

struct TCorpusFile {
  std::string set;  // the corpus folder: bin, payload, random, text
  Bytes data;
  Bytes stream;  // our compressed stream
};

// Reads the corpus; a missing corpus or a file that does not come back ends the program,
// saying so under `program`'s name.
std::vector<TCorpusFile> LoadCorpus(const std::string& dir, const char* program);

// Expands the file's stream with our expander into `sink`; returns the bytes written.
size_t OursExpand(const TCorpusFile& f, TBufferSink& sink);
