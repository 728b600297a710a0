#include "tests/support/ArchiveBuilder.h"

#include "tests/support/MethodRuns.h"
#include "toolkit/Stream.h"

TRawMember Stored(const std::string& name, const std::string& text) {
  TRawMember m;
  m.name = name;
  m.data = TextBytes(text);
  m.expandedSize = static_cast<int32_t>(text.size());
  m.checksum = SumOf(m.data);
  return m;
}

TRawMember RleLiterals(const std::string& name, const Bytes& plain) {
  TRawMember m;
  m.name = name;
  m.data = plain;
  m.expandedSize = static_cast<int32_t>(plain.size());
  m.methodCode = 1;
  m.checksum = SumOf(plain);
  return m;
}

Bytes BuildRawArchive(const std::vector<TRawMember>& members, const std::string& methodId,
                      std::optional<int32_t> totalSize) {
  int64_t sum = 0;
  for (const auto& m : members) sum += m.expandedSize;
  Bytes out = TextBytes("QUIX\x1A" + methodId.substr(0, 3));
  PutLE(out, static_cast<uint32_t>(totalSize.value_or(static_cast<int32_t>(sum))), 4);
  out.push_back(1);  // caMulti
  PutLE(out, 0, 8);
  for (const auto& m : members) {
    PutLE(out, m.name.size(), 2);
    PutLE(out, m.dateTime, 4);
    PutLE(out, m.attributes, 2);
    PutLE(out, static_cast<uint32_t>(m.expandedSize), 4);
    PutLE(out, m.data.size(), 4);
    out.push_back(m.methodCode);
    PutLE(out, m.checksum, 4);
    PutLE(out, 0, 4);
    out.insert(out.end(), m.name.begin(), m.name.end());
    out.insert(out.end(), m.data.begin(), m.data.end());
  }
  return out;
}

TBuiltArchive BuildArchive(const std::vector<TPlainMember>& members, const std::string& methodId) {
  TMemoryStream out;
  TArchiveHeader header;
  SetMethodId(header, methodId);
  for (const auto& m : members) header.TotalSize += static_cast<int32_t>(m.plain.size());
  WriteArchiveHeader(out, header);
  TBuiltArchive built;
  for (const auto& m : members) {
    const Bytes data = CompressBytes(m.method, m.plain);
    TMemberHeader mh;
    mh.DateTime = kMemberDate;
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
