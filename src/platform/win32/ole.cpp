// Win32 side of the automation seam: the registry, COM object creation,
// IDispatch and VARIANTs. Texts cross in the ANSI code page and become
// system strings (BSTR) here.
#include <windows.h>
// COM headers after windows.h.
#include <oleauto.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "platform/ole.h"

namespace gnutil::platform {

struct Variant {
  VARIANT value;
};

struct Arguments {
  explicit Arguments(unsigned int count) : arguments(count), values(count) {
    for (unsigned int k = 0; k < count; ++k) {
      VariantInit(&arguments[k]);
      VariantInit(&values[k]);
    }
  }
  // Sized once: by-reference arguments point into `values`.
  std::vector<VARIANT> arguments;
  std::vector<VARIANT> values;
};

namespace {

std::wstring Widen(const char* text) {
  if (text == nullptr || text[0] == '\0') return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

std::string Narrow(const wchar_t* wide, int length) {
  if (wide == nullptr || length <= 0) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, &text[0], n, nullptr, nullptr);
  return text;
}

std::string NarrowBstr(BSTR text) {
  return text == nullptr ? std::string() : Narrow(text, static_cast<int>(SysStringLen(text)));
}

std::string TakeBstr(BSTR text) {
  std::string narrow = NarrowBstr(text);
  SysFreeString(text);
  return narrow;
}

BSTR MakeBstr(const char* text) { return SysAllocString(Widen(text).c_str()); }

bool OpenSubKey(HKEY parent, const char* name, HKEY* key) {
  return RegOpenKeyExA(parent, name, 0, KEY_READ, key) == ERROR_SUCCESS;
}

// A text converted in place into the value entry, which then holds `type`.
void ConvertValue(VARIANT* value, const char* text, VARTYPE type) {
  value->vt = VT_BSTR;
  value->bstrVal = MakeBstr(text);
  HRESULT hr = VariantChangeType(value, value, 0, type);
  if (FAILED(hr)) throw OleError{hr};
}

}  // namespace

bool AutomationAvailable() { return true; }

std::string StatusMessage(long status) {
  char* buffer = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(status), LANG_SYSTEM_DEFAULT, reinterpret_cast<char*>(&buffer), 0,
      nullptr);
  std::string text;
  if (n > 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

ServerRegistration FindServer(const char* classIdText) {
  HKEY classKey;
  std::string path = std::string("CLSID\\") + (classIdText != nullptr ? classIdText : "");
  if (!OpenSubKey(HKEY_CLASSES_ROOT, path.c_str(), &classKey)) return ServerRegistration::kNone;
  static const struct {
    const char* name;
    ServerRegistration kind;
  } kServerKeys[] = {{"InprocServer", ServerRegistration::kInProcess},
                     {"InprocServer32", ServerRegistration::kInProcess},
                     {"LocalServer", ServerRegistration::kLocal},
                     {"LocalServer32", ServerRegistration::kLocal}};
  ServerRegistration found = ServerRegistration::kNone;
  for (const auto& candidate : kServerKeys) {
    HKEY serverKey;
    if (OpenSubKey(classKey, candidate.name, &serverKey)) {
      RegCloseKey(serverKey);
      found = candidate.kind;
      break;
    }
  }
  RegCloseKey(classKey);
  return found;
}

long CreateServerObject(const char* classIdText, bool localOnly, void** unknown) {
  *unknown = nullptr;
  CLSID classId = CLSID_NULL;
  std::wstring wide = Widen(classIdText);
  CLSIDFromString(const_cast<LPOLESTR>(wide.c_str()), &classId);
  const DWORD context = localOnly
                            ? CLSCTX_LOCAL_SERVER
                            : (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER);
  HRESULT hr = CoCreateInstance(classId, nullptr, context, IID_IUnknown, unknown);
  if (FAILED(hr)) *unknown = nullptr;
  return hr;
}

long QueryInterfaceByText(void* unknown, const char* interfaceIdText, void** dispatch) {
  *dispatch = nullptr;
  IID iid;
  std::wstring wide = Widen(interfaceIdText);
  HRESULT hr = IIDFromString(const_cast<LPOLESTR>(wide.c_str()), &iid);
  if (FAILED(hr)) return hr;
  return static_cast<IUnknown*>(unknown)->QueryInterface(iid, dispatch);
}

void ReleaseInterface(void* unknown) {
  if (unknown != nullptr) static_cast<IUnknown*>(unknown)->Release();
}

Variant* NewVariant() {
  Variant* variant = new Variant;
  VariantInit(&variant->value);
  return variant;
}

void FreeVariant(Variant* variant) {
  if (variant == nullptr) return;
  VariantClear(&variant->value);
  delete variant;
}

unsigned short VariantTypeOf(const Variant* variant) { return variant->value.vt; }

DispatchLookup DispatchOf(Variant* variant, void** dispatch) {
  *dispatch = nullptr;
  const VARIANT& v = variant->value;
  if (v.vt == VT_DISPATCH) {
    *dispatch = v.pdispVal;
  } else if (v.vt == VT_VARIANT || v.vt == (VT_BYREF | VT_VARIANT)) {
    if (v.pvarVal == nullptr || v.pvarVal->vt != VT_DISPATCH || v.pvarVal->pdispVal == nullptr) {
      return DispatchLookup::kVariantWithoutDispatch;
    }
    *dispatch = v.pvarVal->pdispVal;
  }
  return *dispatch != nullptr ? DispatchLookup::kFound : DispatchLookup::kNotAnObject;
}

bool VariantToText(Variant* variant, std::string* text) {
  VARIANT& v = variant->value;
  if (v.vt != VT_BSTR && FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) return false;
  *text = NarrowBstr(v.bstrVal);
  return true;
}

Arguments* NewArguments(unsigned int count) { return new Arguments(count); }

void FreeArguments(Arguments* arguments) {
  if (arguments == nullptr) return;
  for (VARIANT& v : arguments->arguments) VariantClear(&v);
  for (VARIANT& v : arguments->values) VariantClear(&v);
  delete arguments;
}

void SetOmitted(Arguments* arguments, unsigned int position) {
  VARIANT& a = arguments->arguments[position];
  a.vt = VT_ERROR;
  a.scode = DISP_E_PARAMNOTFOUND;
}

void SetCopy(Arguments* arguments, unsigned int position, const Variant* value) {
  if (value != nullptr) {
    VariantCopy(&arguments->arguments[position], const_cast<VARIANT*>(&value->value));
  }
}

void SetText(Arguments* arguments, unsigned int position, unsigned short declaredType,
             const char* text, const Variant* object) {
  VARIANT& a = arguments->arguments[position];
  VARIANT& value = arguments->values[position];
  switch (declaredType) {
    case VT_DISPATCH:
      SetCopy(arguments, position, object);
      return;
    case VT_BYREF | VT_I2:
    case VT_BYREF | VT_I4:
    case VT_BYREF | VT_INT:
      ConvertValue(&value, text, VT_I4);
      a.vt = VT_BYREF | VT_I4;
      a.plVal = &value.lVal;
      return;
    case VT_BYREF | VT_R4:
      ConvertValue(&value, text, VT_R4);
      a.vt = VT_BYREF | VT_R4;
      a.pfltVal = &value.fltVal;
      return;
    case VT_BYREF | VT_R8:
      ConvertValue(&value, text, VT_R8);
      a.vt = VT_BYREF | VT_R8;
      a.pdblVal = &value.dblVal;
      return;
    case VT_BYREF | VT_DATE:
      // Passed as a date the server can read and change, like the numbers.
      ConvertValue(&value, text, VT_DATE);
      a.vt = VT_BYREF | VT_DATE;
      a.pdate = &value.date;
      return;
    case VT_BYREF | VT_BSTR:
      value.vt = VT_BSTR;
      value.bstrVal = MakeBstr(text);
      a.vt = VT_BYREF | VT_BSTR;
      a.pbstrVal = &value.bstrVal;
      return;
    case VT_BYREF | VT_VARIANT:
      value.vt = VT_BSTR;
      value.bstrVal = MakeBstr(text);
      a.vt = VT_BYREF | VT_VARIANT;
      a.pvarVal = &value;
      return;
    default:
      break;
  }
  a.vt = VT_BSTR;
  a.bstrVal = MakeBstr(text);
  if (declaredType != VT_BSTR && declaredType != VT_VARIANT) {
    // A text the declared type cannot hold still reaches the server, which
    // may know better what to make of it.
    VariantChangeType(&a, &a, 0, declaredType);
  }
}

bool ReadBack(Arguments* arguments, unsigned int position, unsigned short declaredType,
              std::string* text, unsigned short* type) {
  VARIANT& value = arguments->values[position];
  const VARTYPE base = declaredType & ~VT_BYREF;
  char buffer[512];
  switch (base) {
    case VT_I2:
    case VT_I4:
    case VT_INT:
      snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value.lVal));
      *text = buffer;
      break;
    case VT_R4:
      snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value.fltVal));
      *text = buffer;
      break;
    case VT_R8:
      snprintf(buffer, sizeof buffer, "%f", value.dblVal);
      *text = buffer;
      break;
    case VT_BSTR:
      *text = NarrowBstr(value.bstrVal);
      break;
    case VT_VARIANT:
      if (value.vt != VT_BSTR && FAILED(VariantChangeType(&value, &value, 0, VT_BSTR))) {
        return false;
      }
      *text = NarrowBstr(value.bstrVal);
      *type = VT_BSTR;
      return true;
    case VT_DATE: {
      BSTR date = nullptr;
      if (FAILED(VarBstrFromDate(value.date, LOCALE_USER_DEFAULT, 0, &date))) return false;
      *text = TakeBstr(date);
      break;
    }
    default:
      return false;
  }
  *type = base;
  return true;
}

long DispatchIdOf(void* dispatch, const char* interfaceIdText, const char* name) {
  IID iid;
  std::wstring wideIid = Widen(interfaceIdText);
  HRESULT hr = IIDFromString(const_cast<LPOLESTR>(wideIid.c_str()), &iid);
  if (FAILED(hr)) throw OleError{hr};
  std::wstring wideName = Widen(name);
  LPOLESTR names[1] = {name != nullptr ? const_cast<LPOLESTR>(wideName.c_str()) : nullptr};
  DISPID id = DISPID_UNKNOWN;
  hr = static_cast<IDispatch*>(dispatch)->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT,
                                                        &id);
  if (hr != S_OK) throw OleError{hr};
  return id;
}

void CallMember(void* dispatch, long dispatchId, unsigned short kind, Arguments* arguments,
                Variant* result) {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters = {};
  parameters.cArgs = static_cast<UINT>(arguments->arguments.size());
  parameters.rgvarg = parameters.cArgs > 0 ? arguments->arguments.data() : nullptr;
  if ((kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
    parameters.cNamedArgs = 1;
    parameters.rgdispidNamedArgs = &putId;
  }
  EXCEPINFO exception = {};
  UINT argumentError = static_cast<UINT>(-1);
  HRESULT hr = static_cast<IDispatch*>(dispatch)->Invoke(
      dispatchId, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
      result != nullptr ? &result->value : nullptr, &exception, &argumentError);
  if (SUCCEEDED(hr)) return;
  if (hr != DISP_E_EXCEPTION) throw OleError{hr};
  if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
  OleDispatchError error;
  error.code = exception.wCode != 0 ? exception.wCode : exception.scode;
  error.source = TakeBstr(exception.bstrSource);
  error.description = TakeBstr(exception.bstrDescription);
  error.helpFile = TakeBstr(exception.bstrHelpFile);
  error.helpContext = exception.dwHelpContext;
  error.status = hr;
  throw error;
}

}  // namespace gnutil::platform
