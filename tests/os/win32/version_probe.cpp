// The code of the version probe module: one export so that it is a real DLL.
extern "C" __declspec(dllexport) int gnutil_version_probe() { return 1281; }
