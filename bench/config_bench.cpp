// The configuration store against its natural peers: a lookup against a
// plain line-by-line read of the same file, and a safe write (lock, temporary
// file, fsync, rename) against rewriting the file in place with stdio.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "gnutil/osconfig.h"

namespace {

std::string g_dir;

const std::string& Dir() {
  if (g_dir.empty()) {
    char tmpl[] = "/tmp/gnutil-config-bench-XXXXXX";
    if (mkdtemp(tmpl) == nullptr) abort();
    g_dir = tmpl;
    OSSetSystemConfigFile((g_dir + "/system.ini").c_str());
    OSSetSystemConfigRegRoot((g_dir + "/registry").c_str());
  }
  return g_dir;
}

// An initialisation file of `entries` keys in ten sections.
std::string MakeIni(int entries) {
  std::string path = Dir() + "/bench" + std::to_string(entries) + ".ini";
  std::string text;
  for (int s = 0; s < 10; ++s) {
    text += "[Section" + std::to_string(s) + "]\n";
    for (int k = 0; k < entries / 10; ++k)
      text += "Key" + std::to_string(k) + " = value number " + std::to_string(k) + "\n";
  }
  FILE* f = fopen(path.c_str(), "wb");
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
  return path;
}

void BM_OSGetConfig(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::string path = MakeIni(entries);
  std::string key = "key" + std::to_string(entries / 10 - 1);
  CGNString value;
  for (auto _ : state) OSGetConfig(value, "", "SECTION9", key.c_str(), path.c_str());
  if (value.IsEmpty()) state.SkipWithError("not found");
}

// The peer: read the file line by line and stop at the entry, with none of
// the profile rules (exact case, no trimming, no quotes).
void BM_PlainLineScan(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::string path = MakeIni(entries);
  std::string header = "[Section9]";
  std::string prefix = "Key" + std::to_string(entries / 10 - 1) + " = ";
  std::string value;
  for (auto _ : state) {
    std::ifstream in(path);
    std::string line;
    bool in_section = false;
    while (std::getline(in, line)) {
      if (!line.empty() && line[0] == '[') in_section = line == header;
      if (in_section && line.compare(0, prefix.size(), prefix) == 0) {
        value = line.substr(prefix.size());
        break;
      }
    }
    benchmark::DoNotOptimize(value);
  }
}

void BM_OSSetConfig(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::string path = MakeIni(entries);
  int n = 0;
  for (auto _ : state) OSSetConfig(++n, "Section5", "Key0", path.c_str());
}

// The peer: rewrite the whole file in place, unlocked and unsynced (what a
// naive store does, and what a crash can leave half written).
void BM_PlainRewrite(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::string path = MakeIni(entries);
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (auto _ : state) {
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
}

void BM_RegistryReadWrite(benchmark::State& state) {
  Dir();
  for (int i = 0; i < state.range(0); ++i)
    OSSetSystemConfigReg("filler", "Bench", ("V" + std::to_string(i)).c_str(), "Software\\Gnutil");
  CGNString value;
  int n = 0;
  for (auto _ : state) {
    OSSetSystemConfigReg(++n, "Bench", "Counter", "Software\\Gnutil");
    OSGetSystemConfigReg(value, "", "Bench", "Counter", "Software\\Gnutil");
  }
}

BENCHMARK(BM_OSGetConfig)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_PlainLineScan)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_OSSetConfig)->Arg(10)->Arg(1000);
BENCHMARK(BM_PlainRewrite)->Arg(10)->Arg(1000);
BENCHMARK(BM_RegistryReadWrite)->Arg(10)->Arg(1000);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::string cmd = "rm -rf '" + g_dir + "'";
  if (!g_dir.empty() && system(cmd.c_str()) != 0) return 1;
  return 0;
}
