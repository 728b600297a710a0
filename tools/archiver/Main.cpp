#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/archiver/Archiver.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunArchiver(args, std::cout, std::cerr, isatty(fileno(stderr)) != 0);
}
