// The members of the test archive that the extraction and road tests link in
// (test-archive.bin, made by make-test-archive.py).
#pragma once

#include <string>
#include <vector>

struct TTestMember {
  std::string name;  // as stored in the archive
  std::string content;
};

// The archive's members in archive order; keep in step with make-test-archive.py.
const std::vector<TTestMember>& TestMembers();
