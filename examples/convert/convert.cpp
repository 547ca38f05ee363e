// Detects the Japanese code set of a file and converts it to another one:
//   convert IN OUT [sjis|euc|jis]
// The output is checked by detecting it again.
#include <gnutil/gnutil.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* Name(int codeset) {
  switch (codeset) {
    case CODESET_JIS:
      return "JIS";
    case CODESET_EUC_J:
      return "EUC";
    case CODESET_SJIS:
      return "Shift-JIS";
    case CODESET_EUC_OR_SJIS:
      return "EUC or Shift-JIS";
    default:
      return "no Japanese";
  }
}

int Detect(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return -1;
  int codeset = DetectJPCodeType(f);
  std::fclose(f);
  return codeset;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: convert IN OUT [sjis|euc|jis]\n");
    return 2;
  }
  const int to = argc > 3 ? mbGetCodeSet(argv[3][0] == 'e'   ? "EUC_J"
                                         : argv[3][0] == 'j' ? "JIS"
                                                             : "SJIS")
                          : CODESET_EUC_J;
  const int from = Detect(argv[1]);
  if (from < 0) {
    std::perror(argv[1]);
    return 1;
  }
  if (from != CODESET_JIS && from != CODESET_EUC_J && from != CODESET_SJIS) {
    std::fprintf(stderr, "convert: %s: the code set is %s; nothing to convert\n", argv[1],
                 Name(from));
    return 1;
  }
  // convertStrExt works on NUL-terminated text and needs room for the
  // longest result: JIS output may take 4.5 bytes per input byte.
  std::FILE* in = std::fopen(argv[1], "rb");
  std::string text;
  char block[4096];
  for (size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;) text.append(block, n);
  std::fclose(in);
  std::vector<char> out((9 * text.size() + 9) / 2 + 1);
  convertStrExt(text.c_str(), from, out.data(), to);
  std::FILE* o = std::fopen(argv[2], "wb");
  if (o == nullptr || std::fputs(out.data(), o) < 0 || std::fclose(o) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  const int result = Detect(argv[2]);
  std::printf("%s: %s, %zu bytes -> %s: %s, %zu bytes\n", argv[1], Name(from), text.size(), argv[2],
              Name(result), std::strlen(out.data()));
  return result == to ? 0 : 1;
}
