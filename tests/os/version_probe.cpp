// The code of the version probe module: one exported function, so that it is
// a real library. Its point is the file version the build gives it.
#if defined(_WIN32)
#define PROBE_EXPORT __declspec(dllexport)
#else
#define PROBE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PROBE_EXPORT int gnutil_version_probe() { return 1281; }
