// Reading and writing the archive and member headers, and the DOS date/time layout.
#include <gtest/gtest.h>

#include "compress/ArchiveFormat.h"
#include "compress/CompressErrors.h"
#include "compress/DosDateTime.h"
#include "tests/support/Bytes.h"
#include "tests/support/MemoryStreams.h"

namespace {

// The worked examples of docs/FORMAT.md.
const char kSetupArchiveHeader[] = "51 55 49 58 1A 4C 5A 48 B3 CD 0B 00 01 00 00 00 00 00 00 00 00";
const char kReadmeMemberHeader[] =
    "0A 00 CD A9 95 23 20 00 DA 0D 00 00 F2 06 00 00 02 74 98 04 00 00 00 00 00";

// A member header with the given name length and compressed size, all else plain.
Bytes MemberHeaderBytes(int16_t nameLength, int32_t compressedSize) {
  Bytes b = Hex("00 00 00 00 00 00 20 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00 00");
  b[0] = static_cast<uint8_t>(nameLength);
  b[1] = static_cast<uint8_t>(static_cast<uint16_t>(nameLength) >> 8);
  for (int k = 0; k < 4; ++k)
    b[12 + k] = static_cast<uint8_t>(static_cast<uint32_t>(compressedSize) >> (8 * k));
  return b;
}

// The names a full walk meets, seeking past each member's data.
std::vector<std::string> Walk(const Bytes& archive) {
  TBytesStream s(archive);
  TArchiveHeader header;
  std::string id;
  ReadArchiveHeader(s, header, id, nullptr, nullptr);
  std::vector<std::string> names;
  TMemberHeader m;
  std::string name;
  while (ReadMemberHeader(s, m, name)) {
    names.push_back(name);
    s.Seek(m.CompressedSize, TSeekOrigin::soCurrent);
  }
  return names;
}

const TExpandEvent kSomeExpandHandler = [](TStream&, TStream&, int32_t, int32_t, const std::string&,
                                           int32_t&) {};

}  // namespace

TEST(ArchiveHeader, SetupArchiveHeaderDecodesToItsFields) {
  TBytesStream s(Hex(kSetupArchiveHeader));
  TArchiveHeader h;
  std::string id;
  ReadArchiveHeader(s, h, id, nullptr, nullptr);
  EXPECT_EQ(id, "LZH");
  EXPECT_EQ(h.TotalSize, 773555);
  EXPECT_EQ(h.ArchiveType, caMulti);
  EXPECT_EQ(h.Reserved1, 0u);
  EXPECT_EQ(h.Reserved2, 0u);
  EXPECT_EQ(s.Position(), kArchiveHeaderSize);
}

TEST(ArchiveHeader, WriterProducesTheSetupArchiveHeaderBytes) {
  TArchiveHeader h;
  SetMethodId(h, "LZH");
  h.TotalSize = 773555;
  TMemoryStream s;
  WriteArchiveHeader(s, h);
  EXPECT_EQ(ToHex(s.Bytes()), kSetupArchiveHeader);
}

TEST(ArchiveHeader, ShortStreamIsAnArchiveWithoutMembers) {
  Bytes cut = Hex(kSetupArchiveHeader);
  cut.resize(20);
  // A header one byte short, and bytes that are not even a signature: still no error.
  for (const Bytes& whole : {cut, Bytes(20, 0xEE)}) {
    for (size_t size : {0u, 1u, 20u}) {
      const Bytes bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
      TBytesStream s(bytes);
      TArchiveHeader h;
      h.TotalSize = 99;
      std::string id;
      ReadArchiveHeader(s, h, id, nullptr, nullptr);
      EXPECT_EQ(h.Signature, kArchiveSignature) << size;
      EXPECT_EQ(h.TotalSize, 0) << size;
      EXPECT_EQ(h.ArchiveType, caMulti) << size;
      EXPECT_EQ(s.Position(), 0) << size;
      TMemberHeader m;
      std::string name;
      EXPECT_FALSE(ReadMemberHeader(s, m, name)) << size;
    }
  }
}

TEST(ArchiveHeader, ReadingStartsFromTheFirstByteWhereverTheStreamStands) {
  TBytesStream s(Concat(Hex(kSetupArchiveHeader), Repeat(0, 40)));
  s.SetPosition(30);
  TArchiveHeader h;
  std::string id;
  ReadArchiveHeader(s, h, id, nullptr, nullptr);
  EXPECT_EQ(h.TotalSize, 773555);
  EXPECT_EQ(s.Position(), 21);
}

TEST(ArchiveHeader, ExactlyOneHeaderHasNoMembers) {
  EXPECT_TRUE(Walk(Hex(kSetupArchiveHeader)).empty());
}

// Damaged headers, each with the error it must raise.
TEST(ArchiveHeader, DamagedHeadersRaiseTheirErrors) {
  struct Case {
    const char* label;
    const char* bytes;
    const char* message;
  };
  const Case cases[] = {
      {"signature without 1A", "51 55 49 58 00 4C 5A 48 00 00 00 00 01 00 00 00 00 00 00 00 00",
       "Can't recognize compressed file header"},
      {"lower-case signature", "71 55 49 58 1A 4C 5A 48 00 00 00 00 01 00 00 00 00 00 00 00 00",
       "Can't recognize compressed file header"},
      {"archive type 0", "51 55 49 58 1A 4C 5A 48 00 00 00 00 00 00 00 00 00 00 00 00 00",
       "Archive type must be caMulti"},
      {"archive type 2", "51 55 49 58 1A 4C 5A 48 00 00 00 00 02 00 00 00 00 00 00 00 00",
       "Archive type must be caMulti"},
      {"id lzh in lower case", "51 55 49 58 1A 6C 7A 68 00 00 00 00 01 00 00 00 00 00 00 00 00",
       "Unrecognized compression method in header"},
      {"id Rle", "51 55 49 58 1A 52 6C 65 00 00 00 00 01 00 00 00 00 00 00 00 00",
       "Unrecognized compression method in header"},
      {"id CUS without an expand handler",
       "51 55 49 58 1A 43 55 53 00 00 00 00 01 00 00 00 00 00 00 00 00",
       "Unrecognized compression method in header"},
  };
  for (const Case& c : cases) {
    TBytesStream s(Hex(c.bytes));
    TArchiveHeader h;
    std::string id;
    try {
      ReadArchiveHeader(s, h, id, nullptr, nullptr);
      ADD_FAILURE() << c.label << ": no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.label;
    }
  }
  // The signature is tested before the archive type.
  TBytesStream both(Hex("00 55 49 58 1A 4C 5A 48 00 00 00 00 07 00 00 00 00 00 00 00 00"));
  TArchiveHeader h;
  std::string id;
  EXPECT_THROW(ReadArchiveHeader(both, h, id, nullptr, nullptr), EInvalidHeader);
}

TEST(MethodCodeFromId, MapsIdsExactly) {
  EXPECT_EQ(MethodCodeFromId("RLE", nullptr, nullptr), kMethodRle);
  EXPECT_EQ(MethodCodeFromId("LZH", nullptr, nullptr), kMethodLzh);
  EXPECT_EQ(MethodCodeFromId("NON", nullptr, nullptr), kMethodStored);
  EXPECT_THROW(MethodCodeFromId("non", nullptr, nullptr), EUnrecognizedCompressionMethod);
  EXPECT_THROW(MethodCodeFromId("lzh", kSomeExpandHandler, nullptr),
               EUnrecognizedCompressionMethod);
}

TEST(MethodCodeFromId, CustomIdsNeedTheExpandHandler) {
  EXPECT_EQ(MethodCodeFromId("CUS", kSomeExpandHandler, nullptr), kMethodCustom);
  EXPECT_THROW(MethodCodeFromId("CUS", nullptr, nullptr), EUnrecognizedCompressionMethod);

  std::vector<std::string> asked;
  const TRecognizeEvent recognizeXyz = [&](const std::string& id, bool& recognized) {
    asked.push_back(id);
    EXPECT_FALSE(recognized);  // preset to false
    recognized = id == "XYZ";
  };
  EXPECT_EQ(MethodCodeFromId("XYZ", kSomeExpandHandler, recognizeXyz), kMethodCustom);
  EXPECT_THROW(MethodCodeFromId("ABC", kSomeExpandHandler, recognizeXyz),
               EUnrecognizedCompressionMethod);
  // Without an expand handler the recognizer is never asked.
  EXPECT_THROW(MethodCodeFromId("XYZ", nullptr, recognizeXyz), EUnrecognizedCompressionMethod);
  // Built-in ids never reach it either.
  EXPECT_EQ(MethodCodeFromId("LZH", kSomeExpandHandler, recognizeXyz), kMethodLzh);
  EXPECT_EQ(asked, (std::vector<std::string>{"XYZ", "ABC"}));
}

TEST(MemberHeader, ReadmeHeaderDecodesToItsFields) {
  TBytesStream s(Concat(Hex(kReadmeMemberHeader), TextBytes("readme.txt")));
  TMemberHeader h;
  std::string name;
  ASSERT_TRUE(ReadMemberHeader(s, h, name));
  EXPECT_EQ(name, "readme.txt");
  EXPECT_EQ(h.NameLength, 10);
  EXPECT_EQ(DosDateWord(h.DateTime), 0x2395);
  EXPECT_EQ(DosTimeWord(h.DateTime), 0xA9CD);
  EXPECT_EQ(h.Attributes, 0x0020);
  EXPECT_EQ(h.ExpandedSize, 3546);
  EXPECT_EQ(h.CompressedSize, 1778);
  EXPECT_EQ(h.MethodCode, kMethodLzh);
  EXPECT_EQ(h.Checksum, 301172u);
  EXPECT_EQ(h.Reserved, 0u);
  EXPECT_EQ(s.Position(), kMemberHeaderSize + 10);

  const TDosDateTime t = UnpackDosDateTime(h.DateTime);
  EXPECT_EQ((std::vector<int>{t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second}),
            (std::vector<int>{1997, 12, 21, 21, 14, 26}));

  TCompressedFileInfo info(h, 21);
  EXPECT_EQ(info.CompressedSize, 1778);
  EXPECT_EQ(info.Checksum, 301172u);
  EXPECT_EQ(info.HeaderOffset, 21);
}

TEST(MemberHeader, WriterProducesTheReadmeHeaderBytes) {
  TMemberHeader h;
  h.DateTime = PackDosDateTime({1997, 12, 21, 21, 14, 26});
  h.Attributes = kArchiveAttribute;
  h.ExpandedSize = 3546;
  h.CompressedSize = 1778;
  h.MethodCode = kMethodLzh;
  h.Checksum = 301172;
  TMemoryStream s;
  WriteMemberHeader(s, h, "readme.txt");
  EXPECT_EQ(ToHex(s.Bytes()), ToHex(Concat(Hex(kReadmeMemberHeader), TextBytes("readme.txt"))));
}

TEST(DosDateTime, PacksTheDocumentedExample) {
  // 21 December 1997, 21:09:50 is date word 0x2395 and time word 0xA939.
  EXPECT_EQ(PackDosDateTime({1997, 12, 21, 21, 9, 50}), 0x2395A939u);
  const TDosDateTime t = UnpackDosDateTime(0x2395A939u);
  EXPECT_EQ(t.Minute, 9);
  EXPECT_EQ(t.Second, 50);
  // Odd seconds round down; years outside the layout clamp.
  EXPECT_EQ(PackDosDateTime({1997, 12, 21, 21, 9, 51}), 0x2395A939u);
  EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({1970, 1, 1, 0, 0, 0})).Year, 1980);
  EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({2200, 1, 1, 0, 0, 0})).Year, 2107);
}

// Walks over damaged and unusual member sequences.
TEST(MemberWalk, TrailingBytesAndOddMembers) {
  const Bytes head = Hex(kSetupArchiveHeader);
  const Bytes a = Concat(Concat(MemberHeaderBytes(1, 3), TextBytes("a")), Hex("01 02 03"));
  const Bytes unnamed = MemberHeaderBytes(0, 2);
  const Bytes empty = Concat(MemberHeaderBytes(1, 0), TextBytes("e"));

  // Trailing bytes shorter than a member header are ignored.
  EXPECT_EQ(Walk(Concat(Concat(head, a), Repeat(0, 24))), (std::vector<std::string>{"a"}));
  // A header whose name runs past the end of the stream ends the walk.
  EXPECT_EQ(Walk(Concat(Concat(Concat(head, a), MemberHeaderBytes(5, 0)), TextBytes("abcd"))),
            (std::vector<std::string>{"a"}));
  // NameLength 0 is a member with an empty name; its data follows the header directly.
  EXPECT_EQ(Walk(Concat(Concat(Concat(head, unnamed), Hex("AA BB")), a)),
            (std::vector<std::string>{"", "a"}));
  // CompressedSize 0: the next header follows the name directly.
  EXPECT_EQ(Walk(Concat(Concat(head, empty), a)), (std::vector<std::string>{"e", "a"}));
  // A negative NameLength ends the sequence, even with more members behind it.
  EXPECT_EQ(Walk(Concat(Concat(Concat(head, a), MemberHeaderBytes(-1, 0)), a)),
            (std::vector<std::string>{"a"}));
}

TEST(MemberWalk, NegativeCompressedSizeStopsTheWalkWithAnError) {
  // This member would send a seek back onto its own header, forever.
  const Bytes archive =
      Concat(Concat(Concat(Hex(kSetupArchiveHeader), MemberHeaderBytes(1, -26)), TextBytes("x")),
             Repeat(0, 10));
  try {
    Walk(archive);
    FAIL() << "no error";
  } catch (const EInvalidMemberSize& e) {
    EXPECT_EQ(e.Message(), "Damaged archive: a member header holds a negative compressed size");
  }
  // Cut short, the same header is merely the end of the sequence.
  Bytes cut(archive.begin(), archive.begin() + 21 + 25);
  EXPECT_TRUE(Walk(cut).empty());
}

TEST(MemberWalk, HeadersWrittenByTheWritersWalkBack) {
  TMemoryStream s;
  TArchiveHeader ah;
  SetMethodId(ah, "RLE");
  WriteArchiveHeader(s, ah);
  for (const std::string name : {"Kestrel.exe", "Docs\\readme.txt", ""}) {
    TMemberHeader m;
    m.CompressedSize = static_cast<int32_t>(name.size()) + 1;
    WriteMemberHeader(s, m, name);
    Bytes data(name.size() + 1, 0x5A);
    s.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
  }
  EXPECT_EQ(Walk(s.Bytes()), (std::vector<std::string>{"Kestrel.exe", "Docs\\readme.txt", ""}));
  TMemberHeader m;
  EXPECT_THROW(WriteMemberHeader(s, m, std::string(40000, 'n')), EInvalidOperation);
}
