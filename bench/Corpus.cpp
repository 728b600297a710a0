#include "Corpus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ReferenceCodec.h"
#include "compress/ArchiveFormat.h"
#include "tests/support/Files.h"
#include "tests/support/MethodRuns.h"

size_t OursExpand(const TCorpusFile& f, TBufferSink& sink) {
  sink.Rewind();
  uint32_t checksum = 0;
  return static_cast<size_t>(RunMethodInto(sink, true, kMethodLzh, f.stream.data(), f.stream.size(),
                                           static_cast<int32_t>(f.data.size()), checksum));
}

std::vector<TCorpusFile> LoadCorpus(const std::string& dir, const char* program) {
  std::ifstream manifest(dir + "/MANIFEST");
  if (!manifest) {
    std::fprintf(stderr, "%s: no corpus at %s (run corpus.sh)\n", program, dir.c_str());
    std::exit(2);
  }
  std::vector<TCorpusFile> corpus;
  TBufferSink sink(64 << 20);
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string size, hash, name;
    fields >> size >> hash >> name;
    TCorpusFile f;
    f.set = name.substr(0, name.find('/'));
    f.data = ReadFileBytes(dir + "/" + name);
    sink.Rewind();
    uint32_t checksum = 0;
    RunMethodInto(sink, false, kMethodLzh, f.data.data(), f.data.size(), 0, checksum);
    f.stream = sink.Contents();
    const unsigned char* refOut = nullptr;
    const size_t refSize = ReferenceExpand(f.stream.data(), f.stream.size(),
                                           static_cast<long long>(f.data.size()), &refOut);
    OursExpand(f, sink);
    if (sink.Contents() != f.data || refSize != f.data.size() ||
        std::memcmp(refOut, f.data.data(), refSize) != 0) {
      std::fprintf(stderr, "%s: %s does not round-trip\n", program, name.c_str());
      std::exit(1);
    }
    corpus.push_back(std::move(f));
  }
  return corpus;
}
