// Damaged archives: cut short anywhere in its headers or data, a flipped bit, a method id
// that names nothing, negative size fields, a name of the longest length the field holds.
// Each ends with the error of its kind (or, where the format gives no way to tell, with
// the complete members only), and every file that was on disk before stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/Faults.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/ScratchFolder.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

// A target folder that already holds files of the user's: none of them may change.
class DamagedArchive : public ::testing::Test {
protected:
  DamagedArchive() : compress(nullptr) {
    dir.Write("keep.txt", "the user's own notes\r\n");
    std::filesystem::create_directories(dir.Host("Backup"));
    dir.Write("Backup\\readme.txt", "an older readme\r\n");
    dir.Write("locked.cfg", "Port=21\r\n");
    MakeReadOnly(dir.Host("locked.cfg"));
    before = Snapshot(dir.Host(""));
    compress.SetTargetPath(dir.Path());
  }

  // What expanding every member raised, and its message.
  std::string Expand(const Bytes& archive, std::string& message) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    return FaultOf([&] {
      try {
        compress.ExpandMembers(stream, nullptr);
      } catch (const Exception& e) {
        message = e.Message();
        throw;
      }
    });
  }

  std::string List(const Bytes& archive, std::vector<std::string>& names) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    TStringList list(true);
    const std::string error = FaultOf([&] { compress.ReadMemberList(stream, list); });
    names.clear();
    for (int k = 0; k < list.Count(); ++k) names.push_back(list[k]);
    return error;
  }

  std::vector<std::string> DamageToUserFiles() { return Damaged(before, Snapshot(dir.Host(""))); }

  TScratchFolder dir;
  TSnapshot before;
  TCompress compress;
};

const TBuiltArchive& Archive() {
  static const TBuiltArchive archive = BuildArchive(ThreeMembers());
  return archive;
}

std::vector<std::string> NamesOf(const std::vector<TPlainMember>& members) {
  std::vector<std::string> names;
  for (const auto& m : members) names.push_back(m.name);
  return names;
}

const Bytes& PlainOf(const std::string& name) {
  for (const auto& m : ThreeMembers()) {
    if (m.name == name) return m.plain;
  }
  static const Bytes none;
  return none;
}

// One damaged archive and what listing and expanding it into the user's folder must give.
struct TDamageCase {
  std::string Name = {};
  std::function<Bytes()> Damaged = {};
  std::string ListFault = {};  // "" when the listing returns normally
  std::vector<std::string> Listed = {};
  std::string ExpandFault = {};
  std::vector<std::string> Written = {};  // members that hold their plain bytes afterwards
  std::vector<std::string> Absent = {};   // members of which no file exists afterwards
  bool MakeDirectories = false;
  bool ExceptionOnFileError = false;
  std::string CannotCreate = {};  // the member that EFCreateError names
};

void PrintTo(const TDamageCase& c, std::ostream* out) {
  *out << c.Name;
}

// Cut at every byte of every header and name, at the start of each member's data, just
// inside it, halfway and one byte short of its end. A member whose header or name is cut
// short ends the member sequence without an error (the format has no end marker); a
// member whose data is cut short fails its checksum, or, stored, cannot be read.
std::vector<TDamageCase> CutShortAnywhere() {
  const auto& spans = Archive().spans;
  std::vector<int64_t> cuts;
  for (int64_t at = 0; at <= spans[0].data; ++at) cuts.push_back(at);
  for (size_t k = 0; k < spans.size(); ++k) {
    const TMemberSpan& s = spans[k];
    for (int64_t at : {s.data + 1, (s.data + s.end) / 2, s.end - 1}) cuts.push_back(at);
    const int64_t nextData = k + 1 < spans.size() ? spans[k + 1].data : s.end;
    for (int64_t at = s.end; at <= nextData; ++at) cuts.push_back(at);
  }
  const std::string faultOfCutData[] = {"EBadChecksum", "EBadChecksum", "EReadError"};
  const std::vector<std::string> names = NamesOf(ThreeMembers());

  std::vector<TDamageCase> cases;
  for (int64_t cut : cuts) {
    size_t complete = 0;  // members whose data is whole
    while (complete < spans.size() && spans[complete].end <= cut) ++complete;
    const bool dataCut = complete < spans.size() && spans[complete].data <= cut;
    const size_t headersWhole =
        cut < kArchiveHeaderSize + kMemberHeaderSize ? 0 : complete + (dataCut ? 1 : 0);
    TDamageCase c;
    c.Name = "CutTo" + std::to_string(cut) + "Bytes";
    c.Damaged = [cut] {
      const Bytes& whole = Archive().bytes;
      return Bytes(whole.begin(), whole.begin() + cut);
    };
    c.Listed.assign(names.begin(), names.begin() + static_cast<int64_t>(headersWhole));
    c.ExpandFault = dataCut ? faultOfCutData[complete] : "";
    for (size_t k = 0; k < spans.size(); ++k) {
      if (k < complete) {
        c.Written.push_back(names[k]);
      } else if (k > complete || !dataCut) {
        c.Absent.push_back(names[k]);
      }
    }
    cases.push_back(c);
  }
  return cases;
}

Bytes WithByteFlipped(int64_t at, uint8_t bits) {
  Bytes archive = Archive().bytes;
  archive[static_cast<size_t>(at)] ^= bits;
  return archive;
}

Bytes WithInt16(int64_t at, int16_t value) {
  Bytes archive = Archive().bytes;
  PutInt16(archive, at, value);
  return archive;
}

Bytes WithInt32(int64_t at, int32_t value) {
  Bytes archive = Archive().bytes;
  PutInt32(archive, at, value);
  return archive;
}

// One header field or name damaged, or an id no reader takes.
std::vector<TDamageCase> HeadersAndNames() {
  const std::vector<std::string> all = NamesOf(ThreeMembers());
  const std::vector<std::string> first = {"readme.txt"};
  const std::string noMethod = "EUnrecognizedCompressionMethod";
  std::vector<TDamageCase> cases = {
      // On disk: the damaged member is written out and fails, the members before it stay
      // written, the one after it is not touched.
      {.Name = "FlippedBitInTheSecondMember",
       .Damaged = [] { return WithByteFlipped(Archive().spans[1].data + 5, 0x10); },
       .Listed = all,
       .ExpandFault = "EBadChecksum",
       .Written = first,
       .Absent = {"data.bin"}},
      // Labelled vector: an archive header with the id "lzh" and one stored member "a"
      // holding the byte 41.
      {.Name = "LowerCaseIdVector",
       .Damaged =
           [] {
             return Hex(
                 "51 55 49 58 1A 6C 7A 68 01 00 00 00 01 00 00 00 00 00 00 00 00 "  // "lzh"
                 "01 00 39 A9 95 23 20 00 01 00 00 00 01 00 00 00 00 41 00 00 00 00 00 00 00 "
                 "61 41");
           },
       .ListFault = noMethod,
       .ExpandFault = noMethod,
       .Absent = {"a"}},
  };

  // A negative name length ends the member sequence: what came before it is listed and
  // written, nothing after it, and no error is raised.
  for (const int16_t length : {-1, -32768}) {
    cases.push_back({.Name = "NameLength" + std::to_string(length).replace(0, 1, "Minus"),
                     .Damaged = [length] { return WithInt16(Archive().spans[1].header, length); },
                     .Listed = first,
                     .Written = first,
                     .Absent = {"sites.ini", "data.bin"}});
  }
  // A negative compressed size would send the walk backwards, onto a header already read
  // and so round for ever: it is refused with its own error, after the members before it
  // (expansion) and before the member it belongs to is created. -1, the most negative
  // value, and the one that leads back to the first member header.
  const TMemberSpan& second = Archive().spans[1];
  for (const int32_t size :
       {-1, INT32_MIN, static_cast<int32_t>(Archive().spans[0].header - second.data)}) {
    cases.push_back({.Name = "CompressedSize" + std::to_string(size).replace(0, 1, "Minus"),
                     .Damaged = [size] { return WithInt32(Archive().spans[1].header + 12, size); },
                     .ListFault = "EInvalidMemberSize",
                     .Listed = first,
                     .ExpandFault = "EInvalidMemberSize",
                     .Written = first,
                     .Absent = {"sites.ini"}});
  }

  // Ids are compared exactly: a known id in other letter case, or one no method has, is
  // refused before any member is touched, by listing and by expansion alike.
  const struct {
    const char* name;
    const char* id;
  } ids[] = {{"IdLowerCaseLzh", "lzh"}, {"IdMixedCaseLzh", "Lzh"},
             {"IdLowerCaseRle", "rle"}, {"IdLowerCaseNon", "non"},
             {"IdLowerCaseCus", "cus"}, {"IdCustomWithoutHandler", "CUS"},
             {"IdOfNoMethod", "ZIP"},   {"IdOfSpaces", "   "}};
  for (const auto& [name, id] : ids) {
    cases.push_back({.Name = name,
                     .Damaged = [id] { return BuildArchive(ThreeMembers(), id).bytes; },
                     .ListFault = noMethod,
                     .ExpandFault = noMethod,
                     .Absent = all});
  }

  // The longest name the field holds is read whole; no file system takes it as one name,
  // so the member is passed over quietly or, when asked, with the creation error naming
  // it, and the members around it are written.
  const std::string longName(kMaxNameLength, 'n');
  const auto withLongName = [longName] {
    std::vector<TPlainMember> members = ThreeMembers();
    members.insert(members.begin() + 1, TPlainMember{longName, kMethodLzh, TextBytes("tiny")});
    return BuildArchive(members).bytes;
  };
  const std::vector<std::string> listedWithLongName = {"readme.txt", longName, "sites.ini",
                                                       "data.bin"};
  cases.push_back({.Name = "NameOf32767BytesPassedOver",
                   .Damaged = withLongName,
                   .Listed = listedWithLongName,
                   .Written = all});
  cases.push_back({.Name = "NameOf32767BytesRefused",
                   .Damaged = withLongName,
                   .Listed = listedWithLongName,
                   .ExpandFault = "EFCreateError",
                   .Written = first,
                   .Absent = {"sites.ini"},
                   .ExceptionOnFileError = true,
                   .CannotCreate = longName});

  // The same length made of folders: making them fails with the system's error once the
  // path is too long for it, before any file of the member exists.
  std::string deepName;
  const std::string folder(200, 'f');
  while (deepName.size() + folder.size() + 1 < static_cast<size_t>(kMaxNameLength))
    deepName += folder + "\\";
  deepName.resize(kMaxNameLength, 'x');
  const std::vector<TPlainMember> deep = {ThreeMembers()[0],
                                          {deepName, kMethodStored, TextBytes("deep")}};
  cases.push_back({.Name = "NameOf32767BytesOfFolders",
                   .Damaged = [deep] { return BuildArchive(deep).bytes; },
                   .Listed = {"readme.txt", deepName},
                   .ExpandFault = "EInOutError",
                   .Written = first,
                   .MakeDirectories = true});
  return cases;
}

class DamagedArchiveCase : public DamagedArchive,
                           public ::testing::WithParamInterface<TDamageCase> {};

std::string CaseName(const ::testing::TestParamInfo<TDamageCase>& info) {
  return info.param.Name;
}

}  // namespace

TEST_P(DamagedArchiveCase, EndsWithItsFaultAndLeavesTheUserFiles) {
  const TDamageCase& c = GetParam();
  compress.SetMakeDirectories(c.MakeDirectories);
  compress.SetExceptionOnFileError(c.ExceptionOnFileError);
  const Bytes archive = c.Damaged();

  std::vector<std::string> listed;
  EXPECT_EQ(List(archive, listed), c.ListFault);
  EXPECT_EQ(listed, c.Listed);

  std::string message;
  EXPECT_EQ(Expand(archive, message), c.ExpandFault);
  if (!c.CannotCreate.empty()) {
    EXPECT_EQ(message, "Cannot create file " + dir.Engine(c.CannotCreate));
  }
  for (const auto& name : c.Written) EXPECT_EQ(dir.ReadBytes(name), PlainOf(name)) << name;
  for (const auto& name : c.Absent) EXPECT_FALSE(dir.Exists(name)) << name;
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(CutShort, DamagedArchiveCase, ::testing::ValuesIn(CutShortAnywhere()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(HeadersAndNames, DamagedArchiveCase,
                         ::testing::ValuesIn(HeadersAndNames()), CaseName);

// Every bit of the LZH and RLE members' data, flipped on its own. The member checksum is a
// plain sum of the bytes, blind to their order: a flip that makes an LZH match copy "21"
// where "12" stood goes unnoticed, and no reader of this format can do better. Every
// other flip must fail the checksum, with an output of the expected size and no other
// error; for RLE, whose every byte stands for itself or a run, every flip.
TEST_F(DamagedArchive, AFlippedBitInCompressedDataFailsTheChecksum) {
  const TBuiltArchive& archive = Archive();
  for (size_t k = 0; k < 2; ++k) {
    const TMemberSpan& s = archive.spans[k];
    const TPlainMember& m = ThreeMembers()[k];
    int flips = 0;
    int blind = 0;  // wrong bytes with the right sum
    for (int64_t at = s.data; at < s.end; ++at) {
      for (int bit = 0; bit < 8; ++bit, ++flips) {
        Bytes damaged = archive.bytes;
        damaged[static_cast<size_t>(at)] ^= static_cast<uint8_t>(1 << bit);
        TReadOnlyMemoryStream source(damaged.data(), static_cast<int64_t>(damaged.size()));
        source.SetPosition(s.data);
        TMemoryStream out;
        const std::string error = FaultOf([&] {
          compress.ExpandMemberStream(out, source, kMethodIdLzh, m.method, SumOf(m.plain),
                                      static_cast<int32_t>(m.plain.size()),
                                      static_cast<int32_t>(s.end - s.data));
        });
        const std::string where =
            m.name + ": bit " + std::to_string(bit) + " of byte " + std::to_string(at - s.data);
        if (m.method == kMethodLzh) {
          EXPECT_GE(out.Bytes().size(), m.plain.size()) << where;
          EXPECT_LE(out.Bytes().size(), m.plain.size() + 59) << where;
        }
        if (error.empty()) {
          // Nothing raised: the bytes are right, or wrong in a way the sum cannot see.
          EXPECT_EQ(SumOf(out.Bytes()), SumOf(m.plain)) << where;
          if (out.Bytes() != m.plain) ++blind;
        } else {
          EXPECT_EQ(error, "EBadChecksum") << where;
        }
      }
    }
    if (m.method == kMethodRle) {
      EXPECT_EQ(blind, 0) << m.name;
    } else {
      EXPECT_LT(blind * 50, flips) << m.name << ": more than 2% of the flips went unnoticed";
    }
  }
}
