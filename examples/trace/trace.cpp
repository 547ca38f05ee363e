// One trace file written by two threads. The process is switched to threaded
// mode first, so the trace's mutex keeps each message's line whole.
//   trace [FILE]
#include <gnutil/gnutil.h>

#include <cstdio>
#include <cstring>

namespace {

CGNTrace* g_trace;
const short kCategory = 0x0001;

unsigned int Worker(void* name) {
  CGNString source(static_cast<const char*>(name));
  for (int i = 0; i < 100; ++i) {
    g_trace->WriteMsg(CGNTraceFileLine(__LINE__, __FILE__), kCategory, source, "step %d", i);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  OSSetThreaded();  // before the second thread and before any lock
  CGNString path(argc > 1 ? argv[1] : "trace-example.log");
  std::remove(path);
  CGNTrace trace;
  g_trace = &trace;
  trace.Init();  // the trace's mutex
  trace.ResetMask(kCategory);
  trace.EnableDateTime();
  if (!trace.ResetOutput(1, path, 0)) {
    std::fprintf(stderr, "trace: cannot open %s\n", static_cast<const char*>(path));
    return 1;
  }
  char first[] = "first", second[] = "second";
  _osthread* a = OSThreadCreate(Worker, first, nullptr);
  _osthread* b = OSThreadCreate(Worker, second, nullptr);
  OSThreadTerminateWait(a);
  OSThreadTerminateWait(b);
  OSThreadDestroy(a);
  OSThreadDestroy(b);
  trace.ResetOutput(0);  // closes the file

  // Every line is one whole message of one thread.
  std::FILE* f = std::fopen(path, "r");
  int lines = 0, whole = 0;
  char line[1024];
  while (f != nullptr && std::fgets(line, sizeof line, f) != nullptr) {
    ++lines;
    whole +=
        (std::strstr(line, "first") || std::strstr(line, "second")) && std::strstr(line, "step");
  }
  if (f != nullptr) std::fclose(f);
  std::printf("%s: %d lines from two threads, %d whole\n", static_cast<const char*>(path), lines,
              whole);
  return lines == 200 && whole == 200 ? 0 : 1;
}
