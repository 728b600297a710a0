#include "ExtractionFixture.h"

const std::vector<TTestMember>& TestMembers() {
  static const std::vector<TTestMember> members = {
      {"readme.txt", "Kestrel 2.2 test readme\r\nAaa bbbb ccccc 0000000000\r\n"},
      {"Sites.INI", "[sites]\r\nexample=ftp.example.test\r\n"},
      {"whatsnew.txt", "What is new: \x94 escape byte and a run ......................\r\n"},
  };
  return members;
}
