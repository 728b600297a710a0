// Listing an archive: TCompress::ReadMemberList over any bytes, with and without the
// handlers that widen the accepted method ids. The result is compared with a walk written
// here from the format's layout: the same members at the same offsets with the same
// fields, and the same error, if any.
#include <cstring>
#include <string>
#include <vector>

#include "compress/ArchiveFormat.h"
#include "compress/Compress.h"
#include "fuzz/FuzzChecks.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

int32_t Int32At(const uint8_t* p) {
  return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24));
}

struct TExpectedMember {
  int64_t offset;
  std::string name;
};

struct TExpectedListing {
  std::vector<TExpectedMember> members;
  TFault fault = TFault::fNone;
};

TExpectedListing WalkByLayout(const uint8_t* data, size_t size, bool handlers) {
  TExpectedListing expected;
  if (size < 46) return expected;  // too short for one member: nothing is even checked
  if (std::memcmp(data, "QUIX\x1A", 5) != 0) {
    expected.fault = TFault::fInvalidHeader;
    return expected;
  }
  if (data[12] != 1) {
    expected.fault = TFault::fArchiveType;
    return expected;
  }
  const std::string id(reinterpret_cast<const char*>(data + 5), 3);
  // With OnExpand and an accepting OnRecognize every id is some method.
  if (!handlers && id != "RLE" && id != "LZH" && id != "NON") {
    expected.fault = TFault::fUnknownMethod;
    return expected;
  }
  int64_t pos = 21;
  const int64_t end = static_cast<int64_t>(size);
  while (pos + 25 <= end) {
    const int16_t nameLength = static_cast<int16_t>(data[pos] | (data[pos + 1] << 8));
    if (nameLength < 0 || pos + 25 + nameLength > end) break;
    const int32_t compressed = Int32At(data + pos + 12);
    if (compressed < 0) {
      expected.fault = TFault::fMemberSize;
      break;
    }
    expected.members.push_back(
        {pos, std::string(reinterpret_cast<const char*>(data + pos + 25), nameLength)});
    pos += int64_t{25} + nameLength + compressed;
  }
  return expected;
}

void CheckListing(const uint8_t* data, size_t size, bool handlers) {
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  TCompress compress(nullptr);
  if (handlers) {
    compress.SetOnExpand([](TStream&, TStream&, int32_t, int32_t, const std::string&, int32_t&) {});
    compress.SetOnRecognize([](const std::string&, bool& recognized) { recognized = true; });
  }
  TStringList list(true);
  TFault fault = TFault::fNone;
  try {
    compress.ReadMemberList(stream, list);
  } catch (...) {
    fault = CurrentFault();
  }

  const TExpectedListing expected = WalkByLayout(data, size, handlers);
  FUZZ_CHECK(fault == expected.fault, "listing raised %s, the layout says %s", FaultName(fault),
             FaultName(expected.fault));
  FUZZ_CHECK(list.Count() == static_cast<int>(expected.members.size()),
             "listing found %d members, the layout %zu", list.Count(), expected.members.size());
  for (int k = 0; k < list.Count(); ++k) {
    const auto* info = dynamic_cast<const TCompressedFileInfo*>(list.Objects(k));
    FUZZ_CHECK(info != nullptr, "member %d has no TCompressedFileInfo", k);
    const TExpectedMember& want = expected.members[static_cast<size_t>(k)];
    FUZZ_CHECK(list[k] == want.name, "member %d has another name", k);
    FUZZ_CHECK(info->HeaderOffset == want.offset, "member %d at %d, the layout says %lld", k,
               info->HeaderOffset, static_cast<long long>(want.offset));
    const uint8_t* h = data + want.offset;
    FUZZ_CHECK(info->DateTime == static_cast<uint32_t>(Int32At(h + 2)) &&
                   info->Attributes == static_cast<uint16_t>(h[6] | (h[7] << 8)) &&
                   info->ExpandedSize == Int32At(h + 8) &&
                   info->CompressedSize == Int32At(h + 12) && info->MethodCode == h[16] &&
                   info->Checksum == static_cast<uint32_t>(Int32At(h + 17)),
               "member %d: a field differs from its header bytes", k);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckListing(data, size, false);
  CheckListing(data, size, true);
  return 0;
}
