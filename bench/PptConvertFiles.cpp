// ppt_convert_files [-r ROUNDS] [-p] FILE...
// Converts every file ROUNDS times with ConvertPpt into UTF-8; with -p the text of the last
// round goes to standard output (as a text extractor would print it).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "platform/NativePath.h"

int main(int argc, char** argv) {
  int rounds = 1;
  bool print = false;
  std::vector<std::u16string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-r") == 0 && i + 1 < argc) {
      rounds = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "-p") == 0) {
      print = true;
    } else {
      files.push_back(dkscr::PathFromNative(argv[i]));
    }
  }
  dkscr::OutputBuffer out;
  int failures = 0;
  for (int round = 0; round < rounds; ++round) {
    for (const std::u16string& file : files) {
      const dkscr::ResultCode code = dkscr::ConvertPpt(file, out, 65001);
      if (code < 0) {
        failures += round == 0;
        continue;
      }
      if (print && round + 1 == rounds && code > 3) std::fwrite(out.Data() + 3, 1, static_cast<size_t>(code) - 3, stdout);
    }
  }
  return failures > 0 ? 1 : 0;
}
