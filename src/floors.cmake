# The floors of the library, lowest first, and the public headers each one
# owns. A floor's code sees its own directory and the public headers of its
# own floor and of the floors below, nothing else; src/CMakeLists.txt builds
# each floor as a target of its own from this list, scripts/check-floors.sh
# reads it for the quick check, and docs/ARCHITECTURE.md's floor table must
# name the floors in this order. A public header that no floor owns stops the
# configuration: say here where a new one belongs.
set(GNUTIL_FLOORS platform genutil os locale diag)

set(GNUTIL_FLOOR_HEADERS_platform "")
# version.h is generated into the build tree (cmake/gnutilVersion.h.in).
set(GNUTIL_FLOOR_HEADERS_genutil export.h gnstring.h gnlist.h mbutil.h mbstring.h jaconv.h codesets.h
    codestream.h version.h)
set(GNUTIL_FLOOR_HEADERS_os osthread.h lclst.h namedmutex.h osresource.h osconfig.h ossysinfo.h
    osfile.h osprocess.h osdde.h osole.h)
set(GNUTIL_FLOOR_HEADERS_locale lclocale.h emperor.h localeinfo.h datetime.h decimal.h)
set(GNUTIL_FLOOR_HEADERS_diag ostime.h gntrace.h gnassert.h gnutil.h)
