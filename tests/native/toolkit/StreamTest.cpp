#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "toolkit/Exception.h"
#include "toolkit/FileStream.h"
#include "toolkit/Stream.h"

TEST(MemoryStream, WritesReadsAndSeeksWithinItsSize) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Position(), 6);
  s.SetPosition(2);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);  // a short read at the end, not an error
  EXPECT_STREQ(buf, "cdef");
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_EQ(s.Seek(-100, TSeekOrigin::soCurrent), 0);  // never before the start
  EXPECT_THROW(s.ReadBuffer(buf, 7), EReadError);
}

TEST(MemoryStream, CopyFromTakesExactlyTheCountOrRaises) {
  TMemoryStream src, dst;
  src.WriteBuffer("0123456789", 10);
  src.SetPosition(3);
  dst.CopyFrom(src, 4);
  EXPECT_EQ(std::string(dst.Bytes().begin(), dst.Bytes().end()), "3456");
  EXPECT_EQ(src.Position(), 7);
  EXPECT_THROW(dst.CopyFrom(src, 4), EReadError);
}

TEST(ReadOnlyMemoryStream, RefusesWrites) {
  const char bytes[] = "xyz";
  TReadOnlyMemoryStream s(bytes, 3);
  EXPECT_EQ(s.Size(), 3);
  EXPECT_THROW(s.WriteBuffer("a", 1), EWriteError);
  char c;
  s.Seek(-1, TSeekOrigin::soEnd);
  s.ReadBuffer(&c, 1);
  EXPECT_EQ(c, 'z');
}

TEST(FileStream, CreatesReopensAndReportsMissingFiles) {
  const auto dir = std::filesystem::temp_directory_path() / "kestrel_fs_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "f.bin").string();
  {
    TFileStream out(path, fmCreate | fmShareExclusive);
    out.WriteBuffer("hello", 5);
  }
  {
    TFileStream in(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(in.Size(), 5);
    char buf[5];
    in.ReadBuffer(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "hello");
  }
  try {
    TFileStream missing((dir / "none" / "x").string(), fmOpenRead);
    FAIL() << "opened a file that does not exist";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + (dir / "none" / "x").string());
  }
  EXPECT_THROW(TFileStream((dir / "none" / "x").string(), fmCreate), EFCreateError);
  std::filesystem::remove_all(dir);
}
