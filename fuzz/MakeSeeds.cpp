// Writes the seed corpora of the fuzz targets: small archives made with the codec's own
// writers and compressors, and raw streams of both methods, each behind the control bytes
// its target expects. Usage: make_seeds OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ArchiveBuilder.h"
#include "tests/support/MethodRuns.h"

namespace {

namespace fs = std::filesystem;

const std::vector<Bytes>& Samples() {
  static const std::vector<Bytes> samples = [] {
    std::vector<Bytes> s;
    s.push_back({});
    s.push_back(TextBytes("abc"));
    s.push_back(Bytes(61, 'A'));
    s.push_back(TextBytes("          xyz"));
    s.push_back(TextBytes("[Sites]\r\nHost=ftp.example.com\r\nUser=anonymous\r\nPort=21\r\n"));
    Bytes runs;
    for (int k = 0; k < 40; ++k)
      runs.insert(runs.end(), static_cast<size_t>(k % 7 + 1), k % 3 ? 0x94 : 'z');
    s.push_back(runs);
    Bytes words;
    const char* dictionary[] = {"the ", "kestrel ", "client ", "transfer ", "site ", "\r\n"};
    for (int k = 0; k < 300; ++k) {
      const std::string w = dictionary[(k * 7 + k / 5) % 6];
      words.insert(words.end(), w.begin(), w.end());
    }
    s.push_back(words);
    Bytes binary;
    uint32_t x = 12345;
    for (int k = 0; k < 2000; ++k) {
      x = x * 1103515245u + 12345u;
      binary.push_back(k % 16 < 4 ? 0 : static_cast<uint8_t>(x >> 16));
    }
    s.push_back(binary);
    return s;
  }();
  return samples;
}

Bytes Archive(const std::string& id, const std::vector<TPlainMember>& members) {
  return BuildArchive(members, id).bytes;
}

std::vector<Bytes> Archives() {
  const auto& s = Samples();
  return {
      Archive("LZH", {{"readme.txt", 2, s[6]}, {"sites.ini", 2, s[4]}, {"Kestrel.exe", 2, s[7]}}),
      Archive("LZH", {{"a.txt", 1, s[5]}, {"SUB\\FILE.TXT", 0, s[4]}, {"b", 2, s[2]}}),
      Archive("RLE", {{"one", 1, s[6]}, {"\\rooted.txt", 1, s[1]}, {"", 0, {}}}),
      Archive("NON", {{"stored.bin", 0, s[7]}, {"empty", 0, {}}}),
      Archive("CUS", {{"custom", 3, s[3]}}),
      Archive("LZH", {}),
  };
}

void Write(const fs::path& folder, int index, const Bytes& prefix, const Bytes& body) {
  fs::create_directories(folder);
  std::ofstream out(folder / ("seed-" + std::to_string(index)), std::ios::binary);
  out.write(reinterpret_cast<const char*>(prefix.data()),
            static_cast<std::streamsize>(prefix.size()));
  out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUTPUT_FOLDER\n");
    return 2;
  }
  const fs::path root = argv[1];
  int n = 0;
  for (const Bytes& archive : Archives()) {
    Write(root / "list_archive", n, {}, archive);
    Write(root / "expand_memory", n, {}, archive);
    for (uint8_t flags : {0x00, 0x21, 0x04, 0x0B, 0x13, 0x43}) {
      Write(root / "expand_folder", n * 8 + flags % 8, {flags}, archive);
    }
    ++n;
  }
  n = 0;
  for (const Bytes& plain : Samples()) {
    const auto size = static_cast<uint8_t>(plain.size());
    const auto sizeHigh = static_cast<uint8_t>(plain.size() >> 8);
    Write(root / "lzh_expand", n, {size, sizeHigh, 0x00, 0xFF}, CompressBytes(2, plain));
    Write(root / "lzh_expand", 100 + n, {size, sizeHigh, 0x12, 0x00}, CompressBytes(2, plain));
    Write(root / "rle_expand", n, {0x00, 0xFF}, CompressBytes(1, plain));
    Write(root / "rle_expand", 100 + n, {0x02, 0x07}, CompressBytes(1, plain));
    Write(root / "round_trip", n, {0x00, 0x03}, plain);
    Write(root / "round_trip", 100 + n, {0x01, 0x00}, plain);
    ++n;
  }
  return 0;
}
