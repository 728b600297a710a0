// Cases for a run of a Windows test program under another code page. CTest runs such a
// program's cases a second time with LC_ALL set to a Unix locale, from which Wine takes the
// Windows code page, and names in KESTREL_CODE_PAGE the code page the run is for
// (kestrel_add_test_run in cmake/KestrelTesting.cmake). Such a case skips in the ordinary
// run, and fails in its own run when Wine did not give the code page (the Unix locale is
// missing: scripts/install-deps makes it), so that it never passes without having run.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#define KESTREL_ONLY_UNDER_CODE_PAGE(page)                                                    \
  do {                                                                                        \
    const char* asked = std::getenv("KESTREL_CODE_PAGE");                                     \
    if (!asked || std::atoi(asked) != (page)) GTEST_SKIP() << "for code page " #page " runs"; \
    ASSERT_EQ(GetACP(), static_cast<UINT>(page)) << "Wine did not take code page " #page      \
                                                    " from LC_ALL; is that locale made "      \
                                                    "(scripts/install-deps)?";                \
  } while (0)
