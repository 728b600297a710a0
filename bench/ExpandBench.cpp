// Expansion as the shipped program runs it: this program is built in a Windows tree and
// links that tree's compress_expand, the very library setup.exe links, with its flags. The
// reference decoder is compiled beside it for the same target, and both expand the same
// streams (ours, made here by our compressor) in the same run. Each round times both
// decoders on every set of the corpus, in alternating order; the table quotes the medians
// of the rounds. The clock is the processor time of this thread, which the host's other
// load disturbs less than the wall clock; Wine counts it in 10 ms steps, so each set is
// expanded as many times over as make a third of a second.
// Usage: expand_bench CORPUS_DIR [ROUNDS]   (CORPUS_DIR holds MANIFEST, as codec_bench reads it)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Corpus.h"
#include "ReferenceCodec.h"
#include "compress/ArchiveFormat.h"
#include "tests/support/Files.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/MethodRuns.h"

namespace {

// The processor time this thread has used, in seconds.
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) * 1e-7;
}

size_t ReferenceExpandFile(const TCorpusFile& f) {
  const unsigned char* out = nullptr;
  return ReferenceExpand(f.stream.data(), f.stream.size(), static_cast<long long>(f.data.size()),
                         &out);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 != 0 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: expand_bench CORPUS_DIR [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  const std::vector<TCorpusFile> corpus = LoadCorpus(argv[1], "expand_bench");
  std::vector<std::string> sets;
  double total = 0;
  for (const TCorpusFile& f : corpus) {
    if (std::find(sets.begin(), sets.end(), f.set) == sets.end()) sets.push_back(f.set);
    total += static_cast<double>(f.data.size());
  }

  TBufferSink sink(64 << 20);
  const size_t all = sets.size();
  const auto expandSet = [&](size_t s, bool oursNow) {
    for (const TCorpusFile& f : corpus) {
      if (f.set != sets[s]) continue;
      if (oursNow) {
        OursExpand(f, sink);
      } else {
        ReferenceExpandFile(f);
      }
    }
  };
  // How many times over each set goes, from one pass of ours by the wall clock.
  std::vector<int> times(all);
  std::vector<double> bytes(all + 1, 0);
  for (size_t s = 0; s < all; ++s) {
    const auto start = std::chrono::steady_clock::now();
    expandSet(s, true);
    const double once =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    times[s] = std::max(1, static_cast<int>(std::ceil(0.33 / std::max(once, 1e-6))));
    for (const TCorpusFile& f : corpus) {
      if (f.set == sets[s]) bytes[s] += static_cast<double>(f.data.size());
    }
  }
  // Seconds per pass, ours and the reference's, per round, for each set and ("all") for
  // the corpus.
  std::vector<std::vector<double>> ours(all + 1), ref(all + 1);
  for (int round = 0; round < rounds; ++round) {
    double oursAll = 0, refAll = 0;
    for (size_t s = 0; s < all; ++s) {
      double oursTime = 0, refTime = 0;
      for (int side = 0; side < 2; ++side) {
        const bool oursNow = (side == 0) == (round % 2 == 0);
        const double start = ThreadSeconds();
        for (int k = 0; k < times[s]; ++k) expandSet(s, oursNow);
        (oursNow ? oursTime : refTime) = (ThreadSeconds() - start) / times[s];
      }
      ours[s].push_back(oursTime);
      ref[s].push_back(refTime);
      oursAll += oursTime;
      refAll += refTime;
    }
    ours[all].push_back(oursAll);
    ref[all].push_back(refAll);
  }
  bytes[all] = total;
  sets.push_back("all");

  std::printf(
      "expand_bench: %d bit, our expander as setup.exe has it, against %s built for the "
      "same target; %.1f MB in %zu streams, median of %d rounds (thread time)\n",
      static_cast<int>(sizeof(void*) * 8), ReferenceName(), total / 1e6, corpus.size(), rounds);
  std::printf("%-10s %-8s %12s %12s %8s\n", "direction", "set", "ours MB/s", "ref MB/s", "x ref");
  for (size_t s = 0; s <= all; ++s) {
    // The ratio is taken within each round, where both decoders met the same conditions.
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) ratios.push_back(ref[s][round] / ours[s][round]);
    std::printf("%-10s %-8s %12.1f %12.1f %8.2f\n", "Expand", sets[s].c_str(),
                bytes[s] / Median(ours[s]) / 1e6, bytes[s] / Median(ref[s]) / 1e6, Median(ratios));
  }
  return 0;
}
