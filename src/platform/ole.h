// The platform seam for the automation client.
//
// Windows implements it with the registry, COM and IDispatch; Linux has no
// COM, so AutomationAvailable is false there and the portable half never gets
// further. The chain itself (which object a member is called on, where a
// parameter's value comes from, the results kept under ids, the by-reference
// callback and the user's texts) is portable, in src/os/oleauto.cpp; this
// layer deals in VARIANTs, which it keeps opaque.
//
// Interface pointers cross the seam as void* (IUnknown* or IDispatch*).
// Failed COM calls are raised as OleError, exceptions reported by a server as
// OleDispatchError; the portable chain catches both.
#ifndef GNUTIL_SRC_PLATFORM_OLE_H
#define GNUTIL_SRC_PLATFORM_OLE_H

#include <string>

namespace gnutil::platform {

bool AutomationAvailable();

// A COM call that failed with `status` (an HRESULT).
struct OleError {
  long status;
};

// An exception that a server reported from IDispatch::Invoke.
struct OleDispatchError {
  long code;  // the server's error code, or its status when it gave none
  std::string source;
  std::string description;
  std::string helpFile;
  unsigned long helpContext;
  long status;
};

// The system's text for a status in the ANSI code page, without the trailing
// line end; empty when there is none.
std::string StatusMessage(long status);

// How a class is registered below HKEY_CLASSES_ROOT\CLSID.
enum class ServerRegistration { kNone, kInProcess, kLocal };
ServerRegistration FindServer(const char* classIdText);

// CoCreateInstance of the class for IUnknown, in a local server only or in
// any context. Returns the status; *unknown is null on failure.
long CreateServerObject(const char* classIdText, bool localOnly, void** unknown);

// QueryInterface for the interface named by an identifier text. Returns the
// status (that of IIDFromString when the text is not an identifier).
long QueryInterfaceByText(void* unknown, const char* interfaceIdText, void** dispatch);

void ReleaseInterface(void* unknown);

// --- Variants -------------------------------------------------------------

struct Variant;  // a VARIANT

Variant* NewVariant();               // VT_EMPTY
void FreeVariant(Variant* variant);  // clears, then frees; null is fine
unsigned short VariantTypeOf(const Variant* variant);

// The IDispatch a result carries: held directly (VT_DISPATCH), or through a
// reference to a variant that holds one (VT_VARIANT, VT_BYREF|VT_VARIANT).
// The pointer is not AddRef'ed: it lives as long as the variant.
enum class DispatchLookup { kFound, kVariantWithoutDispatch, kNotAnObject };
DispatchLookup DispatchOf(Variant* variant, void** dispatch);

// Converts the variant in place to a string (unless it is one) and returns
// it in the ANSI code page; false when the conversion fails. A null string
// gives an empty text.
bool VariantToText(Variant* variant, std::string* text);

// --- One member call --------------------------------------------------------

// The argument array of one call, in IDispatch order (the last parameter
// first), and beside it the values that by-reference arguments point at.
// Every entry starts empty; FreeArguments clears them all.
struct Arguments;

Arguments* NewArguments(unsigned int count);
void FreeArguments(Arguments* arguments);

// An omitted optional parameter.
void SetOmitted(Arguments* arguments, unsigned int position);
// A copy of a variant (an empty one for null).
void SetCopy(Arguments* arguments, unsigned int position, const Variant* value);
// A text handed over as the declared type (VT_BYREF types point into the
// value array). A declared VT_DISPATCH passes `object` instead of the text.
// Throws OleError when a by-reference number or date cannot be read from the
// text.
void SetText(Arguments* arguments, unsigned int position, unsigned short declaredType,
             const char* text, const Variant* object);

// The value a by-reference parameter holds after the call, as text, with the
// type it is reported as. False when the declared type is not read back or
// cannot be converted.
bool ReadBack(Arguments* arguments, unsigned int position, unsigned short declaredType,
              std::string* text, unsigned short* type);

// GetIDsOfNames for one name. The interface id text is checked first, as a
// member's table entry must always hold one. Throws OleError.
long DispatchIdOf(void* dispatch, const char* interfaceIdText, const char* name);

// Invocation kinds (DISPATCH_METHOD, DISPATCH_PROPERTYGET, _PROPERTYPUT).
constexpr unsigned short kCallMethod = 1;
constexpr unsigned short kCallPropertyGet = 2;
constexpr unsigned short kCallPropertyPut = 4;

// IDispatch::Invoke with every argument of the array. `result` may be null.
// Throws OleError or OleDispatchError.
void CallMember(void* dispatch, long dispatchId, unsigned short kind, Arguments* arguments,
                Variant* result);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_OLE_H
