// LZH expansion and compression throughput, ours side by side with the reference codec,
// over the benchmark corpus ($LZHBENCH/corpus, default /tmp/lzhbench/corpus, built by
// the reference folder's corpus.sh). Both decoders expand the same streams (ours); each
// encoder compresses the same files. Ends with a table of ours against the reference.
// Compression is timed by the wall clock, on both sides: our compressor may search on a
// second thread, which a process's processor time would count twice and a thread's not
// at all; "alone" is our compressor kept to one thread. Expansion runs on one thread on
// both sides and is timed by the processor time of the benchmark's thread, which the
// host's other load disturbs less.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Corpus.h"
#include "ReferenceCodec.h"
#include "compress/ArchiveFormat.h"
#include "compress/ByteChannel.h"
#include "compress/compressor/LzhCompress.h"
#include "tests/support/Files.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/MethodRuns.h"

namespace {

std::vector<TCorpusFile> gCorpus;

size_t OursCompress(const Bytes& data, TBufferSink& sink) {
  sink.Rewind();
  uint32_t checksum = 0;
  return static_cast<size_t>(
      RunMethodInto(sink, false, kMethodLzh, data.data(), data.size(), 0, checksum));
}

// The same on one thread, whatever the size.
size_t OursCompressAlone(const Bytes& data, TBufferSink& sink) {
  TReadOnlyMemoryStream source(data.data(), static_cast<int64_t>(data.size()));
  sink.Rewind();
  TByteChannel channel(nullptr, sink, source, static_cast<int32_t>(data.size()));
  LzhCompress(channel, false);
  channel.FlushOutput();
  return static_cast<size_t>(channel.BytesWritten());
}

bool InSet(const TCorpusFile& f, const std::string& set) {
  return set == "all" || f.set == set;
}

void ExpandOurs(benchmark::State& state, const std::string& set) {
  TBufferSink sink(16 << 20);
  int64_t bytes = 0;
  for (auto _ : state) {
    for (const TCorpusFile& f : gCorpus) {
      if (InSet(f, set)) bytes += static_cast<int64_t>(OursExpand(f, sink));
    }
  }
  state.SetBytesProcessed(bytes);
}

void ExpandReference(benchmark::State& state, const std::string& set) {
  int64_t bytes = 0;
  for (auto _ : state) {
    for (const TCorpusFile& f : gCorpus) {
      if (!InSet(f, set)) continue;
      const unsigned char* out = nullptr;
      bytes += static_cast<int64_t>(ReferenceExpand(f.stream.data(), f.stream.size(),
                                                    static_cast<long long>(f.data.size()), &out));
      benchmark::DoNotOptimize(out);
    }
  }
  state.SetBytesProcessed(bytes);
}

void CompressOurs(benchmark::State& state, const std::string& set, bool alone) {
  TBufferSink sink(16 << 20);
  int64_t in = 0;
  int64_t out = 0;
  for (auto _ : state) {
    for (const TCorpusFile& f : gCorpus) {
      if (!InSet(f, set)) continue;
      out += static_cast<int64_t>(alone ? OursCompressAlone(f.data, sink)
                                        : OursCompress(f.data, sink));
      in += static_cast<int64_t>(f.data.size());
    }
  }
  state.SetBytesProcessed(in);
  state.counters["ratio"] = static_cast<double>(out) / static_cast<double>(in);
}

void CompressReference(benchmark::State& state, const std::string& set) {
  int64_t in = 0;
  int64_t out = 0;
  for (auto _ : state) {
    for (const TCorpusFile& f : gCorpus) {
      if (!InSet(f, set)) continue;
      const unsigned char* stream = nullptr;
      out += static_cast<int64_t>(ReferenceCompress(f.data.data(), f.data.size(), &stream));
      in += static_cast<int64_t>(f.data.size());
    }
  }
  state.SetBytesProcessed(in);
  state.counters["ratio"] = static_cast<double>(out) / static_cast<double>(in);
}

// Prints the usual table, then ours against the reference for each direction and set.
class TComparingReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median speaks for the benchmark: the machine is shared and
      // single runs stray.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      if (median) medians_.insert(run.run_name.function_name);
      if (!median && medians_.count(run.run_name.function_name)) continue;
      const auto rate = run.counters.find("bytes_per_second");
      if (rate != run.counters.end()) rates_[run.run_name.function_name] = rate->second.value / 1e6;
      const auto ratio = run.counters.find("ratio");
      if (ratio != run.counters.end()) ratios_[run.run_name.function_name] = ratio->second.value;
    }
  }
  void PrintComparison(const std::vector<std::string>& sets) {
    std::printf(
        "\nReference: %s%s\n", ReferenceName(),
        ReferenceCanCompress() ? "" : "; it does not compress, so only expansion is compared");
    std::printf("%-10s %-8s %12s %12s %8s %10s %10s\n", "direction", "set", "ours MB/s", "ref MB/s",
                "x ref", "ours ratio", "ref ratio");
    for (const char* kind : {"Expand/ours", "Compress/ours", "Compress/alone"}) {
      const std::string direction = std::string(kind).substr(0, std::string(kind).find('/'));
      for (const std::string& set : sets) {
        const std::string ours = std::string(kind) + "/" + set;
        const std::string ref = direction + "/reference/" + set;
        if (!rates_.count(ours) || !rates_.count(ref)) continue;
        const std::string label = std::string(kind) == "Compress/alone" ? "Compr.1thr" : direction;
        std::printf("%-10s %-8s %12.1f %12.1f %8.2f", label.c_str(), set.c_str(), rates_[ours],
                    rates_[ref], rates_[ours] / rates_[ref]);
        if (ratios_.count(ours)) std::printf(" %10.4f %10.4f", ratios_[ours], ratios_[ref]);
        std::printf("\n");
      }
    }
  }

private:
  std::map<std::string, double> rates_;
  std::map<std::string, double> ratios_;
  std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  std::printf("codec_bench: the reference is %s\n", ReferenceName());
  const char* root = std::getenv("LZHBENCH");
  gCorpus = LoadCorpus(std::string(root ? root : "/tmp/lzhbench") + "/corpus", "codec_bench");

  const std::vector<std::string> sets = {"all", "text", "bin", "payload", "random"};
  for (const std::string& set : sets) {
    benchmark::RegisterBenchmark(("Expand/ours/" + set).c_str(), ExpandOurs, set)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Expand/reference/" + set).c_str(), ExpandReference, set)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Compress/ours/" + set).c_str(), CompressOurs, set, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("Compress/alone/" + set).c_str(), CompressOurs, set, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    if (ReferenceCanCompress()) {
      benchmark::RegisterBenchmark(("Compress/reference/" + set).c_str(), CompressReference, set)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
  }
  benchmark::Initialize(&argc, argv);
  TComparingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintComparison(sets);
  benchmark::Shutdown();
  return 0;
}
