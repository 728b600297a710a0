// Damaged archives: cut short anywhere in its headers or data, a flipped bit, a method id
// that names nothing, negative size fields, a name of the longest length the field holds.
// Each ends with the error of its kind (or, where the format gives no way to tell, with
// the complete members only), and every file that was on disk before stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/ScratchFolder.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

// The class of the error an operation raised, or "" when it returned normally.
std::string ErrorOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const EBadChecksum&) {
    return "EBadChecksum";
  } catch (const EInvalidHeader&) {
    return "EInvalidHeader";
  } catch (const EInvalidHeaderArchiveType&) {
    return "EInvalidHeaderArchiveType";
  } catch (const EUnrecognizedCompressionMethod&) {
    return "EUnrecognizedCompressionMethod";
  } catch (const EInvalidMemberSize&) {
    return "EInvalidMemberSize";
  } catch (const EInsufficientDiskSpace&) {
    return "EInsufficientDiskSpace";
  } catch (const EReadError&) {
    return "EReadError";
  } catch (const EWriteError&) {
    return "EWriteError";
  } catch (const EInOutError&) {
    return "EInOutError";
  } catch (const EFCreateError&) {
    return "EFCreateError";
  } catch (const Exception& e) {
    return "Exception: " + e.Message();
  }
  return "";
}

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

  std::string Expand(const Bytes& archive, TStringList* names = nullptr) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    return ErrorOf([&] { compress.ExpandMembers(stream, names); });
  }

  std::string List(const Bytes& archive, std::vector<std::string>& names) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    TStringList list(true);
    const std::string error = ErrorOf([&] { compress.ReadMemberList(stream, list); });
    names.clear();
    for (int k = 0; k < list.Count(); ++k) names.push_back(list[k]);
    return error;
  }

  std::vector<std::string> DamageToUserFiles() { return Damaged(before, Snapshot(dir.Host(""))); }

  void RemoveMemberFiles() {
    for (const auto& m : ThreeMembers()) std::filesystem::remove(dir.Host(m.name));
  }

  TScratchFolder dir;
  TSnapshot before;
  TCompress compress;
};

const TBuiltArchive& Archive() {
  static const TBuiltArchive archive = BuildArchive(ThreeMembers());
  return archive;
}

Bytes CutAt(int64_t length) {
  const Bytes& whole = Archive().bytes;
  return Bytes(whole.begin(), whole.begin() + length);
}

}  // namespace

// Cut at every byte of every header and name, at the start of each member's data, just
// inside it, halfway and one byte short of its end. A member whose header or name is cut
// short ends the member sequence without an error (the format has no end marker); a
// member whose data is cut short fails its checksum, or, stored, cannot be read.
TEST_F(DamagedArchive, CutShortAnywhereLeavesTheCompleteMembersAndTheUserFiles) {
  const auto& spans = Archive().spans;
  std::vector<int64_t> cuts;
  for (int64_t at = 0; at <= spans[0].data; ++at) cuts.push_back(at);
  for (size_t k = 0; k < spans.size(); ++k) {
    const TMemberSpan& s = spans[k];
    for (int64_t at : {s.data + 1, (s.data + s.end) / 2, s.end - 1}) cuts.push_back(at);
    const int64_t nextData = k + 1 < spans.size() ? spans[k + 1].data : s.end;
    for (int64_t at = s.end; at <= nextData; ++at) cuts.push_back(at);
  }
  const std::string errorOfCutData[] = {"EBadChecksum", "EBadChecksum", "EReadError"};

  for (int64_t cut : cuts) {
    SCOPED_TRACE("archive cut to " + std::to_string(cut) + " bytes");
    size_t complete = 0;  // members whose data is whole
    while (complete < spans.size() && spans[complete].end <= cut) ++complete;
    const bool dataCut = complete < spans.size() && spans[complete].data <= cut;

    const std::string error = Expand(CutAt(cut));
    EXPECT_EQ(error, dataCut ? errorOfCutData[complete] : "");
    for (size_t k = 0; k < spans.size(); ++k) {
      if (k < complete) {
        EXPECT_EQ(dir.ReadBytes(ThreeMembers()[k].name), ThreeMembers()[k].plain) << "member " << k;
      } else if (k > complete || !dataCut) {
        EXPECT_FALSE(dir.Exists(ThreeMembers()[k].name)) << "member " << k;
      }
    }
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());

    std::vector<std::string> listed;
    EXPECT_EQ(List(CutAt(cut), listed), "");
    const size_t headersWhole =
        cut < kArchiveHeaderSize + kMemberHeaderSize ? 0 : complete + (dataCut ? 1 : 0);
    EXPECT_EQ(listed.size(), headersWhole);
    RemoveMemberFiles();
  }
}

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
        const std::string error = ErrorOf([&] {
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

// On disk: the damaged member is written out and fails, the members before it stay
// written, the one after it is not touched, and nothing of the user's changes.
TEST_F(DamagedArchive, AFlippedBitStopsTheExpansionAtThatMember) {
  Bytes damaged = Archive().bytes;
  damaged[static_cast<size_t>(Archive().spans[1].data + 5)] ^= 0x10;
  EXPECT_EQ(Expand(damaged), "EBadChecksum");
  EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
  EXPECT_FALSE(dir.Exists("data.bin"));
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// Ids are compared exactly: a known id in other letter case, or one no method has,
// is refused before any member is touched, by listing and by expansion alike.
TEST_F(DamagedArchive, AnUnknownOrLowerCaseMethodIdIsRefusedBeforeAnyMember) {
  for (const char* id : {"lzh", "Lzh", "rle", "non", "cus", "CUS", "ZIP", "   "}) {
    SCOPED_TRACE(std::string("method id \"") + id + "\"");
    const Bytes archive = BuildArchive(ThreeMembers(), id).bytes;
    std::vector<std::string> listed;
    EXPECT_EQ(List(archive, listed), "EUnrecognizedCompressionMethod");
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(Expand(archive), "EUnrecognizedCompressionMethod");
    EXPECT_FALSE(dir.Exists("readme.txt"));
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
  }
}

// Labelled vector: an archive header with the id "lzh" and one stored member "a" holding
// the byte 41.
TEST_F(DamagedArchive, LowerCaseIdVector) {
  const Bytes archive =
      Hex("51 55 49 58 1A 6C 7A 68 01 00 00 00 01 00 00 00 00 00 00 00 00 "  // "lzh"
          "01 00 39 A9 95 23 20 00 01 00 00 00 01 00 00 00 00 41 00 00 00 00 00 00 00 "
          "61 41");
  EXPECT_EQ(Expand(archive), "EUnrecognizedCompressionMethod");
  EXPECT_FALSE(dir.Exists("a"));
}

// A negative name length ends the member sequence: what came before it is listed and
// written, nothing after it, and no error is raised.
TEST_F(DamagedArchive, ANegativeNameLengthEndsTheMembers) {
  for (int16_t length : {int16_t{-1}, int16_t{-32768}}) {
    SCOPED_TRACE("NameLength " + std::to_string(length));
    Bytes archive = Archive().bytes;
    PutInt16(archive, Archive().spans[1].header, length);
    std::vector<std::string> listed;
    EXPECT_EQ(List(archive, listed), "");
    EXPECT_EQ(listed, std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(Expand(archive), "");
    EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
    EXPECT_FALSE(dir.Exists("sites.ini"));
    EXPECT_FALSE(dir.Exists("data.bin"));
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
    RemoveMemberFiles();
  }
}

// A negative compressed size would send the walk backwards, onto a header already read
// and so round for ever: it is refused with its own error, after the members before it
// (expansion) and before the member it belongs to is created.
TEST_F(DamagedArchive, ANegativeCompressedSizeIsRefusedAndCannotLoop) {
  const TMemberSpan& second = Archive().spans[1];
  // -1, the most negative value, and the one that leads back to the first member header.
  for (int32_t size :
       {-1, INT32_MIN, static_cast<int32_t>(Archive().spans[0].header - second.data)}) {
    SCOPED_TRACE("CompressedSize " + std::to_string(size));
    Bytes archive = Archive().bytes;
    PutInt32(archive, second.header + 12, size);
    std::vector<std::string> listed;
    EXPECT_EQ(List(archive, listed), "EInvalidMemberSize");
    EXPECT_EQ(listed, std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(Expand(archive), "EInvalidMemberSize");
    EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
    EXPECT_FALSE(dir.Exists("sites.ini"));
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
    RemoveMemberFiles();
  }
}

// The longest name the field holds is read whole; no file system takes it as one name,
// so the member is passed over quietly or, when asked, with the creation error naming
// it, and the members around it are written.
TEST_F(DamagedArchive, ANameOf32767BytesIsListedAndRefusedByTheFileSystem) {
  const std::string longName(kMaxNameLength, 'n');
  std::vector<TPlainMember> members = ThreeMembers();
  members.insert(members.begin() + 1, TPlainMember{longName, kMethodLzh, TextBytes("tiny")});
  const Bytes archive = BuildArchive(members).bytes;

  std::vector<std::string> listed;
  EXPECT_EQ(List(archive, listed), "");
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[1], longName);

  EXPECT_EQ(Expand(archive), "");
  EXPECT_EQ(dir.ReadBytes("data.bin"), ThreeMembers()[2].plain);
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
  RemoveMemberFiles();

  compress.SetExceptionOnFileError(true);
  TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
  try {
    compress.ExpandMembers(stream, nullptr);
    ADD_FAILURE() << "a 32,767-byte name was created";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + dir.Engine(longName));
  }
  EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
  EXPECT_FALSE(dir.Exists("sites.ini"));
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// The same length made of folders: making them fails with the system's error once the
// path is too long for it, before any file of the member exists.
TEST_F(DamagedArchive, A32767ByteNameOfFoldersFailsWhileMakingThem) {
  std::string name;
  const std::string folder(200, 'f');
  while (name.size() + folder.size() + 1 < static_cast<size_t>(kMaxNameLength))
    name += folder + "\\";
  name.resize(kMaxNameLength, 'x');
  std::vector<TPlainMember> members = {ThreeMembers()[0], {name, kMethodStored, TextBytes("deep")}};
  compress.SetMakeDirectories(true);
  EXPECT_EQ(Expand(BuildArchive(members).bytes), "EInOutError");
  EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}
