// Paths as the system reads them, in the process's 8-bit code page, where a path of
// MAX_PATH letters may take up to three times as many bytes (UTF-8): every call that fills
// a buffer gets one grown to the size it asks for.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

// What `call(size, buffer)` writes into a buffer of `size` bytes. A call that answers a
// count not below the size (the size it needs, or a cut-off text's length) is asked again
// with a larger buffer. Empty when the call fails (answers 0).
template <typename Call>
std::string GrownBuffer(Call call) {
  std::string buffer(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD n = call(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return {};
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(std::max<size_t>(n + 1, buffer.size() * 2));
  }
}

// The process's current folder ("C:\" when it cannot be read).
std::string CurrentDirectory();
// The whole path, "." and ".." resolved, as the system resolves it; the path itself when
// the system refuses it.
std::string FullPath(const std::string& path);
// The length of a path's root: "c:\" for a drive, "\\server\share" for a network folder.
size_t RootLength(const std::string& path);
