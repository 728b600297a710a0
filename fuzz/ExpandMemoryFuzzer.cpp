// Expanding every member of any archive into memory: the archive is walked with
// ReadArchiveHeader and ReadMemberHeader, and each member goes through
// TCompress::ExpandMemberStream as the engine sends it. Each result is compared with the
// plain reference methods, the checksum verdict with the sum of what came out, and the
// archive stream and the progress events with what the byte channel promises.
#include <cstring>
#include <string>
#include <vector>

#include "compress/ArchiveFormat.h"
#include "compress/Compress.h"
#include "fuzz/FuzzChecks.h"
#include "tests/support/ReferenceCodec.h"
#include "toolkit/Stream.h"

namespace {

// Members that claim more than this are passed over, so that a run stays fast.
constexpr int32_t kLargestExpansion = 16 * 1024;
// A match may run past the expanded size by up to this many bytes.
constexpr int32_t kLongestOverrun = 59;

void CheckProgress(const std::vector<int32_t>& reported, int64_t consumed, int32_t compressed) {
  for (size_t k = 0; k < reported.size(); ++k) {
    FUZZ_CHECK(reported[k] >= 0 && reported[k] <= 100, "progress of %d%%", reported[k]);
    FUZZ_CHECK(k == 0 || reported[k] >= reported[k - 1], "progress went back");
  }
  if (consumed == compressed && compressed > 0) {
    FUZZ_CHECK(!reported.empty() && reported.back() == 100,
               "a member read to its end did not report 100%%");
  }
  FUZZ_CHECK(static_cast<int64_t>(reported.size()) <= (consumed + 8191) / 8192 + 1,
             "%zu progress events for %lld bytes", reported.size(),
             static_cast<long long>(consumed));
}

void ExpandOne(TCompress& compress, std::vector<int32_t>& reported, TStream& archive,
               const uint8_t* data, size_t size, const TMemberHeader& header) {
  const int64_t start = archive.Position();
  const int64_t available = std::max<int64_t>(
      0, std::min<int64_t>(header.CompressedSize, static_cast<int64_t>(size) - start));
  const Bytes stored(data + start, data + start + available);

  TMemoryStream out;
  reported.clear();
  TFault fault = TFault::fNone;
  try {
    compress.ExpandMemberStream(out, archive, "LZH", header.MethodCode, header.Checksum,
                                header.ExpandedSize, header.CompressedSize);
  } catch (...) {
    fault = CurrentFault();
  }
  const int64_t consumed = archive.Position() - start;
  const Bytes& got = out.Bytes();
  const uint32_t sum = SumOf(got);
  const uint8_t method = header.MethodCode;

  FUZZ_CHECK(consumed >= 0 && consumed <= std::max<int32_t>(header.CompressedSize, 0),
             "method %d took %lld bytes of a member of %d", method,
             static_cast<long long>(consumed), header.CompressedSize);
  if (method == 0) {
    const bool whole = available == header.CompressedSize;
    FUZZ_CHECK(fault == (whole ? TFault::fNone : TFault::fReadError), "stored member: %s",
               FaultName(fault));
    if (whole) FUZZ_CHECK(got == stored, "a stored member came out changed");
    return;
  }
  FUZZ_CHECK(fault == TFault::fNone || fault == TFault::fBadChecksum, "method %d raised %s", method,
             FaultName(fault));
  const uint32_t expectedSum = (method == 1 || method == 2) ? sum : 0;
  FUZZ_CHECK((fault == TFault::fBadChecksum) == (expectedSum != header.Checksum),
             "checksum verdict %s for sum %u, stored %u", FaultName(fault), expectedSum,
             header.Checksum);
  if (method == 1) {
    FUZZ_CHECK(consumed == available, "RLE stopped before its input ended");
    FUZZ_CHECK(got == ReferenceRleExpand(stored), "RLE differs from the reference");
    CheckProgress(reported, consumed, header.CompressedSize);
  } else if (method == 2) {
    const int64_t n = static_cast<int64_t>(got.size());
    if (header.ExpandedSize <= 0) {
      FUZZ_CHECK(n == 0 && consumed == 0, "LZH of size %d wrote or read", header.ExpandedSize);
    } else {
      FUZZ_CHECK(n >= header.ExpandedSize && n <= header.ExpandedSize + kLongestOverrun,
                 "LZH wrote %lld bytes for %d", static_cast<long long>(n), header.ExpandedSize);
    }
    const TReferenceLzhResult reference = ReferenceLzhExpand(stored, header.ExpandedSize);
    FUZZ_CHECK(reference.ReadUnsetWindow || got == reference.Output,
               "LZH differs from the reference");
    CheckProgress(reported, consumed, header.CompressedSize);
  } else {
    FUZZ_CHECK(got.empty() && consumed == 0, "method %d without a handler did something", method);
    FUZZ_CHECK(reported.empty(), "method %d reported progress", method);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TReadOnlyMemoryStream archive(data, static_cast<int64_t>(size));
  TCompress compress(nullptr);
  std::vector<int32_t> reported;
  compress.SetOnShowProgress([&reported](int32_t& percentage) { reported.push_back(percentage); });

  TArchiveHeader archiveHeader;
  std::string methodId;
  try {
    ReadArchiveHeader(archive, archiveHeader, methodId, compress.OnExpand(),
                      compress.OnRecognize());
    TMemberHeader header;
    std::string name;
    while (ReadMemberHeader(archive, header, name)) {
      const bool builtIn = header.MethodCode == 1 || header.MethodCode == 2;
      if (builtIn && header.ExpandedSize > kLargestExpansion) {
        archive.Seek(header.CompressedSize, TSeekOrigin::soCurrent);
        continue;
      }
      ExpandOne(compress, reported, archive, data, size, header);
    }
  } catch (...) {
    const TFault fault = CurrentFault();
    FUZZ_CHECK(fault == TFault::fInvalidHeader || fault == TFault::fArchiveType ||
                   fault == TFault::fUnknownMethod || fault == TFault::fMemberSize,
               "walking the archive raised %s", FaultName(fault));
  }
  return 0;
}
