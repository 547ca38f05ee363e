/// \file
/// \ingroup version
/// Export macro for the public API. Everything not marked GNUTIL_API stays
/// inside the library (hidden visibility by default).
#ifndef GNUTIL_EXPORT_H
#define GNUTIL_EXPORT_H

#if defined(DOXYGEN)
/// Marks a class or function as part of the library's exported API
/// (dllexport/dllimport on Windows, default visibility elsewhere).
#define GNUTIL_API
#elif defined(_WIN32)
#if defined(GNUTIL_BUILDING)
#define GNUTIL_API __declspec(dllexport)
#elif defined(GNUTIL_STATIC)
#define GNUTIL_API
#else
#define GNUTIL_API __declspec(dllimport)
#endif
#else
#define GNUTIL_API __attribute__((visibility("default")))
#endif

#endif  // GNUTIL_EXPORT_H
