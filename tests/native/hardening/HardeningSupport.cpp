#include "tests/native/hardening/HardeningSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "compress/BuiltInMethod.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

namespace hardening {

namespace fs = std::filesystem;

namespace {
Bytes Encoded(uint8_t method, const Bytes& plain) {
  if (method == kMethodStored) return plain;
  TReadOnlyMemoryStream source(plain.data(), static_cast<int64_t>(plain.size()));
  TMemoryStream out;
  uint32_t checksum = 0;
  RunBuiltInMethod(nullptr, out, source, false, checksum, method, 0,
                   static_cast<int32_t>(plain.size()));
  return out.Bytes();
}
}  // namespace

TBuiltArchive BuildArchive(const std::vector<TPlainMember>& members, const std::string& methodId) {
  TMemoryStream out;
  TArchiveHeader header;
  SetMethodId(header, methodId);
  for (const auto& m : members) header.TotalSize += static_cast<int32_t>(m.plain.size());
  WriteArchiveHeader(out, header);
  TBuiltArchive built;
  for (const auto& m : members) {
    const Bytes data = Encoded(m.method, m.plain);
    TMemberHeader mh;
    mh.DateTime = 0x2395A939;  // 21 December 1997, 21:09:50
    mh.Attributes = kArchiveAttribute;
    mh.ExpandedSize = static_cast<int32_t>(m.plain.size());
    mh.CompressedSize = static_cast<int32_t>(data.size());
    mh.MethodCode = m.method;
    mh.Checksum = SumOf(m.plain);
    TMemberSpan span;
    span.header = out.Position();
    WriteMemberHeader(out, mh, m.name);
    span.name = span.header + kMemberHeaderSize;
    span.data = out.Position();
    out.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    span.end = out.Position();
    built.spans.push_back(span);
  }
  built.bytes = out.Bytes();
  return built;
}

void PutInt16(Bytes& bytes, int64_t at, int16_t value) {
  for (int k = 0; k < 2; ++k)
    bytes.at(static_cast<size_t>(at + k)) = static_cast<uint8_t>(value >> (8 * k));
}

void PutInt32(Bytes& bytes, int64_t at, int32_t value) {
  for (int k = 0; k < 4; ++k)
    bytes.at(static_cast<size_t>(at + k)) = static_cast<uint8_t>(value >> (8 * k));
}

const std::vector<TPlainMember>& ThreeMembers() {
  static const std::vector<TPlainMember> members = [] {
    // Words in an order that does not repeat, so that the LZH stream is mostly literals
    // and short matches, as a real readme gives.
    const char* words[] = {"Kestrel",  "transfers", "files",     "between",    "your",
                           "computer", "and",       "remote",    "sites;",     "the",
                           "queue",    "resumes",   "broken",    "downloads,", "mirrors",
                           "folders",  "keeps",     "passwords", "safe."};
    std::string text;
    for (uint32_t x = 7; text.size() < 3000;) {
      x = x * 1103515245u + 12345u;
      text += words[(x >> 16) % 19];
      text += (x >> 8) % 11 == 0 ? "\r\n" : " ";
    }
    std::string ini = "[Sites]\r\n";
    for (int k = 0; k < 40; ++k)
      ini += "Site" + std::to_string(k) + "=ftp" + std::to_string(k) + ".example.org\r\n";
    Bytes records;
    for (uint32_t k = 0; records.size() < 2500; ++k) {
      const uint32_t v = k * 2654435761u;
      for (int b = 0; b < 4; ++b) records.push_back(static_cast<uint8_t>((v >> (8 * b)) | 1));
      records.insert(records.end(), 4, static_cast<uint8_t>(0x41 + k % 26));
    }
    return std::vector<TPlainMember>{{"readme.txt", kMethodLzh, TextBytes(text)},
                                     {"sites.ini", kMethodRle, TextBytes(ini)},
                                     {"data.bin", kMethodStored, records}};
  }();
  return members;
}

TScratch::TScratch() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  root_ = fs::temp_directory_path() /
          (std::string("kestrel-hardening-") + info->test_suite_name() + "-" + info->name());
  std::error_code ignored;
  fs::remove_all(root_, ignored);
  fs::create_directories(root_);
}

TScratch::~TScratch() {
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(root_, ignored)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(root_, ignored);
}

fs::path TScratch::Host(const std::string& relative) const {
  std::string host = relative;
#ifndef _WIN32
  std::replace(host.begin(), host.end(), '\\', '/');
#endif
  return root_ / host;
}

void TScratch::Write(const std::string& relative, const Bytes& bytes) const {
  std::ofstream out(Host(relative), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes TScratch::Read(const std::string& relative) const {
  std::ifstream in(Host(relative), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TSnapshot Snapshot(const fs::path& folder) {
  TSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    TEntry e;
    e.folder = entry.is_directory();
    e.writable = (entry.status().permissions() & fs::perms::owner_write) != fs::perms::none;
    if (!e.folder) {
      std::ifstream in(entry.path(), std::ios::binary);
      e.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    snapshot[fs::relative(entry.path(), folder).generic_string()] = e;
  }
  return snapshot;
}

std::vector<std::string> Damaged(const TSnapshot& before, const TSnapshot& after) {
  std::vector<std::string> damaged;
  for (const auto& [name, entry] : before) {
    const auto now = after.find(name);
    if (now == after.end()) {
      damaged.push_back(name + " was removed");
    } else if (now->second.folder != entry.folder) {
      damaged.push_back(name + " changed kind");
    } else if (now->second.bytes != entry.bytes) {
      damaged.push_back(name + " changed content (" + std::to_string(entry.bytes.size()) + " -> " +
                        std::to_string(now->second.bytes.size()) + " bytes)");
    } else if (now->second.writable != entry.writable) {
      damaged.push_back(name + " changed its write permission");
    }
  }
  return damaged;
}

void MakeReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

namespace {

// A file whose writes fail once the disk's remaining bytes are used up, as a full disk
// makes them fail: the write that does not fit stores what fits and reports the shortfall.
class TFillingFileStream : public TFileStream {
public:
  TFillingFileStream(const std::string& path, int64_t& writable)
      : TFileStream(path, fmCreate | fmShareExclusive), writable_(writable) {}
  int32_t Write(const void* buffer, int32_t count) override {
    if (writable_ < 0) return TFileStream::Write(buffer, count);
    const int32_t fits = static_cast<int32_t>(std::min<int64_t>(count, writable_));
    const int32_t done = fits > 0 ? TFileStream::Write(buffer, fits) : 0;
    writable_ -= done;
    return done;
  }

private:
  int64_t& writable_;
};

}  // namespace

std::unique_ptr<TFileStream> TSmallDisk::CreateFileExclusive(const std::string& path) {
  // The platform decides whether the file may be created at all; the double only takes
  // over its writes.
  real_.CreateFileExclusive(path).reset();
  std::string host = path;
#ifndef _WIN32
  std::replace(host.begin(), host.end(), '\\', '/');
#endif
  try {
    return std::make_unique<TFillingFileStream>(host, writable_);
  } catch (const EFCreateError&) {
    throw EFCreateError(path);
  }
}

}  // namespace hardening
