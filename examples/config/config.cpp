// A configuration value written to a program's own initialisation file and
// read back; the write replaces the file atomically, so a reader never sees
// half of it.
//   config [FILE]
#include <gnutil/gnutil.h>

#include <cstdio>

int main(int argc, char** argv) {
  CGNString file(argc > 1 ? argv[1] : "config-example.ini");
  OSSetConfig(CGNString("C:\\Data\\Reports"), "Paths", "Reports", file);
  OSSetConfig(42, "Limits", "MaxRows", file);

  CGNString reports;
  long rows = 0;
  OSGetConfig(reports, "(none)", "Paths", "Reports", file);
  OSGetConfig(rows, -1, "Limits", "MaxRows", file);
  CGNString missing;
  OSGetConfig(missing, "default text", "Paths", "Archive", file);
  std::printf("%s: Reports=%s MaxRows=%ld Archive=%s\n", static_cast<const char*>(file),
              static_cast<const char*>(reports), rows, static_cast<const char*>(missing));
  std::remove(file);
  return reports == "C:\\Data\\Reports" && rows == 42 && missing == "default text" ? 0 : 1;
}
