/// \file
/// \ingroup version
/// The whole public API of gnutil.
#ifndef GNUTIL_GNUTIL_H
#define GNUTIL_GNUTIL_H

#include "gnutil/codesets.h"
#include "gnutil/codestream.h"
#include "gnutil/datetime.h"
#include "gnutil/decimal.h"
#include "gnutil/emperor.h"
#include "gnutil/export.h"
#include "gnutil/gnassert.h"
#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"
#include "gnutil/gntrace.h"
#include "gnutil/jaconv.h"
#include "gnutil/lclocale.h"
#include "gnutil/lclst.h"
#include "gnutil/localeinfo.h"
#include "gnutil/mbstring.h"
#include "gnutil/mbutil.h"
#include "gnutil/namedmutex.h"
#include "gnutil/osconfig.h"
#include "gnutil/osdde.h"
#include "gnutil/osfile.h"
#include "gnutil/osole.h"
#include "gnutil/osprocess.h"
#include "gnutil/osresource.h"
#include "gnutil/ossysinfo.h"
#include "gnutil/osthread.h"
#include "gnutil/ostime.h"
#include "gnutil/version.h"

#endif  // GNUTIL_GNUTIL_H
