// The automation client, portable half: the description records, the chain
// of member calls and its texts. VARIANTs, COM and the registry live behind
// platform/ole.h.
//
// Choices where the behaviour is ours to decide:
// - The thread's standard COM behaviour applies while a call waits on its
//   server: no message filter is installed or adjusted, and no profile entry
//   is read for its waiting time.
// - A parameter without a value that is neither a result nor optional stops
//   the chain before its member is called, with a detail naming it.
// - A by-reference date is passed as a date converted from its text and read
//   back like the by-reference numbers.
// - The literal texts that SetParamValueText copies are freed with the
//   object; objects are not copyable.
// - A member called on the previous member's result gives up that result
//   afterwards, as its reference is the one the call used; results kept
//   under ids stay until the next Invoke, CleanUP or the destructor.
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "gnutil/osole.h"
#include "gnutil/osresource.h"
#include "os/resource_ids.h"
#include "platform/ole.h"

namespace {

namespace platform = gnutil::platform;
namespace resid = gnutil::resid;

constexpr unsigned int kVtEmpty = 0;
constexpr unsigned int kVtVoid = 0x18;
constexpr unsigned int kVtByRef = 0x4000;
constexpr unsigned int kDetailLimit = 511;

const char kVariantWithoutDispatch[] =
    "return type variant is not of dipatch type to invoke the next method";
const char kNotAnObject[] = "return type mismatch to invoke next method";

// A parameter that must have a value has none.
struct MissingValue {
  unsigned int param;
};

CGNString LoadText(long id) {
  CGNString text;
  OSLoadString(text, id);
  return text;
}

// At most kDetailLimit bytes, never half a character.
void SetDetail(CGNString& detail, const std::string& text) {
  CGNString full(text.c_str());
  if (full.GetLength() <= kDetailLimit) {
    detail = full;
  } else {
    full.LeftStringInBytes(detail, kDetailLimit);
  }
}

void SetFailure(CGNString& summary, CGNString& detail, CGNString& hint, long summaryId,
                const std::string& detailText, long hintId) {
  summary = LoadText(summaryId);
  SetDetail(detail, detailText);
  hint = LoadText(hintId);
}

std::string DispatchErrorMessage(const platform::OleDispatchError& error) {
  if (!error.description.empty()) return error.description;
  return platform::StatusMessage(error.code < 0 ? error.code : error.status);
}

// Zero-filled, with room for one more character than the text.
char* CopyText(const char* text) {
  const size_t n = strlen(text);
  char* copy = static_cast<char*>(calloc(n + 2, 1));
  if (copy != nullptr) memcpy(copy, text, n);
  return copy;
}

unsigned short DeclaredType(const OSCOMParamStruct& param) {
  return static_cast<unsigned short>(param.type & 0xFFFF & ~OSCOM_KIND_MASK);
}

}  // namespace

// ---- POINTERPARAMCONTEXT ----------------------------------------------------

POINTERPARAMCONTEXT::POINTERPARAMCONTEXT()
    : callback(nullptr),
      callerDataB(nullptr),
      owner(nullptr),
      callerDataA(nullptr),
      fieldId(0),
      valueType(0) {}

POINTERPARAMCONTEXT::POINTERPARAMCONTEXT(const POINTERPARAMCONTEXT& other) = default;
POINTERPARAMCONTEXT& POINTERPARAMCONTEXT::operator=(const POINTERPARAMCONTEXT& other) = default;
POINTERPARAMCONTEXT::~POINTERPARAMCONTEXT() = default;

// ---- COSOLEAutomation: table and accessors ----------------------------------

COSOLEAutomation::COSOLEAutomation()
    : m_pResults(nullptr),
      m_autoStruct(),
      m_pRootUnknown(nullptr),
      m_nResults(0),
      m_ppLiteralCopies(nullptr),
      m_nLiteralCopies(0) {}

COSOLEAutomation::~COSOLEAutomation() {
  if (m_autoStruct.methods != nullptr) FreeOSMethodList();
  FreeResults();
  for (unsigned int i = 0; i < m_nLiteralCopies; ++i) free(m_ppLiteralCopies[i]);
  free(m_ppLiteralCopies);
}

void COSOLEAutomation::SetOSZEAutoStruct(OSZEAutomationStruct& description) {
  m_autoStruct = description;
}

OSZEAutomationStruct& COSOLEAutomation::GetOSZEStruct() { return m_autoStruct; }

CGNString COSOLEAutomation::GetServerCLSID() { return CGNString(m_autoStruct.classId); }

char* COSOLEAutomation::GetClsID() { return m_autoStruct.classId; }

unsigned int COSOLEAutomation::GetMethodCount() { return m_autoStruct.methodCount; }

char* COSOLEAutomation::GetMethodName(unsigned int method) {
  if (m_autoStruct.methods == nullptr || method >= m_autoStruct.methodCount) return nullptr;
  return m_autoStruct.methods[method].name;
}

char* COSOLEAutomation::GetMethodIID(unsigned int method) {
  if (m_autoStruct.methods == nullptr || method >= m_autoStruct.methodCount) return nullptr;
  return m_autoStruct.methods[method].interfaceId;
}

unsigned int COSOLEAutomation::GetParamCount(unsigned int method) {
  if (m_autoStruct.methods == nullptr || method >= m_autoStruct.methodCount) return 0;
  return m_autoStruct.methods[method].paramCount;
}

OSCOMParamStruct* COSOLEAutomation::Param(unsigned int method, unsigned int param) {
  if (m_autoStruct.methods == nullptr || method >= m_autoStruct.methodCount) return nullptr;
  OSZECOMMethodStruct& m = m_autoStruct.methods[method];
  if (m.params == nullptr || param >= m.paramCount) return nullptr;
  return &m.params[param];
}

unsigned int COSOLEAutomation::GetPTid(unsigned int method, unsigned int param) {
  const OSCOMParamStruct* p = Param(method, param);
  return p == nullptr ? 0 : p->PTid;
}

COSOLEAutomation::ResultEntry* COSOLEAutomation::FindResult(unsigned int id) {
  for (unsigned int i = 0; i < m_nResults; ++i) {
    if (m_pResults[i].id == id) return &m_pResults[i];
  }
  return nullptr;
}

char* COSOLEAutomation::GetParamValue(unsigned int method, unsigned int param,
                                      unsigned char& isResult) {
  isResult = 0;
  const OSCOMParamStruct* p = Param(method, param);
  if (p == nullptr) return nullptr;
  switch (p->kind) {
    case OSCOM_PARAM_FIELD:
      return p->fieldText;
    case OSCOM_PARAM_LITERAL:
      return p->literalText;
    case OSCOM_PARAM_RESULT:
      if (p->PTid != 0 && FindResult(p->PTid) != nullptr) isResult = 1;
      return nullptr;
    default:
      return nullptr;
  }
}

unsigned int COSOLEAutomation::GetFieldID(unsigned int method, unsigned int param,
                                          unsigned char& error) {
  const OSCOMParamStruct* p = Param(method, param);
  if (p == nullptr || p->kind != OSCOM_PARAM_FIELD) {
    error = 1;
    return 0;
  }
  error = 0;
  return p->fieldId;
}

void COSOLEAutomation::KeepLiteralCopy(char* copy) {
  char** grown =
      static_cast<char**>(realloc(m_ppLiteralCopies, (m_nLiteralCopies + 1) * sizeof(char*)));
  if (grown == nullptr) return;  // the copy then lives as long as the program
  m_ppLiteralCopies = grown;
  m_ppLiteralCopies[m_nLiteralCopies++] = copy;
}

unsigned char COSOLEAutomation::SetParamValueText(int method, int param, const char* text) {
  if (m_autoStruct.methods == nullptr || method < 0 || param < 0) return 0;
  OSCOMParamStruct* p = Param(static_cast<unsigned int>(method), static_cast<unsigned int>(param));
  if (p == nullptr) return 0;
  if (text == nullptr || text[0] == '\0') return 1;
  if (p->kind == OSCOM_PARAM_LITERAL) {
    char* copy = CopyText(text);
    if (copy == nullptr) return 0;
    // A copy made here before is ours to free; the caller's text is not.
    for (unsigned int i = 0; i < m_nLiteralCopies; ++i) {
      if (m_ppLiteralCopies[i] == p->literalText) {
        free(m_ppLiteralCopies[i]);
        m_ppLiteralCopies[i] = copy;
        p->literalText = copy;
        return 1;
      }
    }
    KeepLiteralCopy(copy);
    p->literalText = copy;
  } else if (p->kind == OSCOM_PARAM_FIELD) {
    char* copy = CopyText(text);
    if (copy == nullptr) return 0;
    free(p->fieldText);  // field texts belong to the table
    p->fieldText = copy;
  }
  return 1;
}

void COSOLEAutomation::SetOSAutoFldValue(int param, int method, CGNString text) {
  if (method < 0 || param < 0) return;
  OSCOMParamStruct* p = Param(static_cast<unsigned int>(method), static_cast<unsigned int>(param));
  if (p == nullptr || p->kind != OSCOM_PARAM_FIELD || p->fieldText == nullptr) return;
  char* copy = CopyText(text);
  if (copy == nullptr) return;
  free(p->fieldText);
  p->fieldText = copy;
}

void COSOLEAutomation::FillParamCallBackInfo(void* callerDataA, void* callerDataB,
                                             void (*fn)(void*)) {
  callback = fn;
  this->callerDataB = callerDataB;
  owner = this;
  this->callerDataA = callerDataA;
}

void COSOLEAutomation::FreeOSMethodStrcut(OSZECOMMethodStruct* method) {
  if (method->params != nullptr) {
    for (unsigned int j = 0; j < method->paramCount; ++j) {
      OSCOMParamStruct& p = method->params[j];
      if (p.kind == OSCOM_PARAM_FIELD) {
        free(p.fieldText);
        p.fieldText = nullptr;
      }
      p.literalText = nullptr;  // the caller's, or one of our copies
    }
  }
  free(method->params);
  method->params = nullptr;
}

void COSOLEAutomation::FreeOSMethodList() {
  for (unsigned int i = 0; i < m_autoStruct.methodCount; ++i) {
    FreeOSMethodStrcut(&m_autoStruct.methods[i]);
  }
  free(m_autoStruct.methods);
  m_autoStruct.methods = nullptr;
}

void COSOLEAutomation::FreeResults() {
  for (unsigned int i = 0; i < m_nResults; ++i) {
    platform::FreeVariant(static_cast<platform::Variant*>(m_pResults[i].result));
  }
  delete[] m_pResults;
  m_pResults = nullptr;
  m_nResults = 0;
}

// ---- COSOLEAutomation: server ----------------------------------------------

unsigned char COSOLEAutomation::IsAutomationSupported() {
  return platform::AutomationAvailable() ? 1 : 0;
}

unsigned char COSOLEAutomation::CreateUnknownPointer(char* classId, void** object,
                                                     CGNString& errorSummary,
                                                     CGNString& errorDetail, CGNString& errorHint) {
  void* created = nullptr;
  unsigned char done = 0;
  if (!platform::AutomationAvailable()) {
    errorSummary = LoadText(resid::kOleNotAvailable);
  } else {
    const platform::ServerRegistration where = platform::FindServer(classId);
    if (where == platform::ServerRegistration::kNone) {
      errorSummary = LoadText(resid::kOleNotRegistered);
      errorHint = LoadText(resid::kOleNotRegisteredHint);
    } else {
      const long status = platform::CreateServerObject(
          classId, where == platform::ServerRegistration::kLocal, &created);
      if (status < 0 || created == nullptr) {
        created = nullptr;
        SetFailure(errorSummary, errorDetail, errorHint, resid::kOleCreateFailed,
                   platform::StatusMessage(status), resid::kOleNotRegisteredHint);
      } else {
        done = 1;
      }
    }
  }
  if (object != nullptr) {
    *object = created;
  } else {
    platform::ReleaseInterface(created);
    done = 0;
  }
  return done;
}

void COSOLEAutomation::GetTitle(CGNString& title) { OSLoadString(title, resid::kOleTitle); }

void COSOLEAutomation::CleanUP() {
  FreeResults();
  platform::ReleaseInterface(m_pRootUnknown);
  m_pRootUnknown = nullptr;  // a second CleanUP must not release it again
}

void COSOLEAutomation::ReleaseUnks(void* unknown) { platform::ReleaseInterface(unknown); }

// ---- COSOLEAutomation: the chain --------------------------------------------

unsigned char COSOLEAutomation::Invoke(void* root, CGNString& result, int& resultType,
                                       CGNString& errorSummary, CGNString& errorDetail,
                                       CGNString& errorHint) {
  FreeResults();
  if (!platform::AutomationAvailable()) {
    errorSummary = LoadText(resid::kOleNotAvailable);
    return 0;
  }
  if (platform::FindServer(m_autoStruct.classId) == platform::ServerRegistration::kNone) {
    errorSummary = LoadText(resid::kOleNotRegistered);
    errorHint = LoadText(resid::kOleNotRegisteredHint);
    return 0;
  }
  if (m_autoStruct.methodCount == 0 || m_autoStruct.methods == nullptr) {
    errorSummary = LoadText(resid::kOleNoMethods);
    return 0;
  }
  if (!InvokeMethodChain(root, errorSummary, errorDetail, errorHint)) return 0;

  auto* last = static_cast<platform::Variant*>(m_pResults[m_nResults - 1].result);
  if (last == nullptr) {
    result.Empty();
  } else {
    resultType = platform::VariantTypeOf(last);
    std::string text;
    if (platform::VariantToText(last, &text)) {
      result = text.c_str();
    } else {
      result.Empty();
    }
  }
  m_pRootUnknown = root;
  return 1;
}

void* COSOLEAutomation::GetMethodDispatch(unsigned int method, void* root, CGNString& errorSummary,
                                          CGNString& errorDetail, CGNString& errorHint) {
  void* dispatch = nullptr;
  const long status =
      platform::QueryInterfaceByText(root, m_autoStruct.methods[method].interfaceId, &dispatch);
  if (status < 0 || dispatch == nullptr) {
    SetFailure(errorSummary, errorDetail, errorHint, resid::kOleNoInterface,
               platform::StatusMessage(status), resid::kOleCallFailedHint);
    return nullptr;
  }
  return dispatch;
}

void COSOLEAutomation::BuildArguments(unsigned int method, void* arguments,
                                      const unsigned short* types) {
  auto* args = static_cast<platform::Arguments*>(arguments);
  const OSZECOMMethodStruct& m = m_autoStruct.methods[method];
  for (unsigned int j = 0; j < m.paramCount; ++j) {
    const unsigned int k = m.paramCount - 1 - j;
    const OSCOMParamStruct& p = m.params[j];
    unsigned char isResult = 0;
    const char* text = GetParamValue(method, j, isResult);
    ResultEntry* kept = p.PTid != 0 ? FindResult(p.PTid) : nullptr;
    auto* keptValue = kept != nullptr ? static_cast<platform::Variant*>(kept->result) : nullptr;
    if (isResult) {
      platform::SetCopy(args, k, keptValue);
    } else if (text == nullptr) {
      if ((p.type & OSCOM_KIND_MASK) != OSCOM_OPTIONAL) throw MissingValue{j};
      platform::SetOmitted(args, k);
    } else {
      platform::SetText(args, k, types[k], text, keptValue);
    }
  }
}

void COSOLEAutomation::ReadBackByRefValues(unsigned int method, void* arguments,
                                           const unsigned short* types) {
  auto* args = static_cast<platform::Arguments*>(arguments);
  const OSZECOMMethodStruct& m = m_autoStruct.methods[method];
  for (unsigned int j = 0; j < m.paramCount; ++j) {
    const unsigned int k = m.paramCount - 1 - j;
    if ((types[k] & kVtByRef) == 0) continue;
    unsigned char error = 0;
    const unsigned int field = GetFieldID(method, j, error);
    if (error) continue;
    std::string text;
    unsigned short type = 0;
    if (platform::ReadBack(args, k, types[k], &text, &type)) {
      fieldId = field;
      valueText = text.c_str();
      valueType = type;
      if (callback != nullptr) callback(static_cast<POINTERPARAMCONTEXT*>(this));
      SetOSAutoFldValue(static_cast<int>(j), static_cast<int>(method), valueText);
    } else {
      fieldId = 0;
      valueText.Empty();
      valueType = 0;
    }
  }
}

unsigned char COSOLEAutomation::InvokeMethodChain(void* root, CGNString& errorSummary,
                                                  CGNString& errorDetail, CGNString& errorHint) {
  if (root == nullptr) return 0;
  const unsigned int count = m_autoStruct.methodCount;
  m_pResults = new ResultEntry[count]();
  m_nResults = count;

  for (unsigned int i = 0; i < count; ++i) {
    OSZECOMMethodStruct& m = m_autoStruct.methods[i];

    // The object this member is called on, and whether we hold a reference.
    void* target = nullptr;
    bool ownTarget = true;
    if (i == 0 || m_autoStruct.methods[i - 1].resultId != 0) {
      target = GetMethodDispatch(i, root, errorSummary, errorDetail, errorHint);
      if (target == nullptr) return 0;
    } else {
      auto* previous = static_cast<platform::Variant*>(m_pResults[i - 1].result);
      const platform::DispatchLookup found = previous != nullptr
                                                 ? platform::DispatchOf(previous, &target)
                                                 : platform::DispatchLookup::kNotAnObject;
      if (found != platform::DispatchLookup::kFound) {
        SetFailure(errorSummary, errorDetail, errorHint, resid::kOleCallFailed,
                   found == platform::DispatchLookup::kVariantWithoutDispatch
                       ? kVariantWithoutDispatch
                       : kNotAnObject,
                   resid::kOleCallFailedHint);
        return 0;
      }
      ownTarget = false;
    }

    std::vector<unsigned short> types(m.paramCount);
    bool anyByRef = false;
    for (unsigned int j = 0; j < m.paramCount; ++j) {
      types[m.paramCount - 1 - j] = DeclaredType(m.params[j]);
      anyByRef = anyByRef || (m.params[j].type & kVtByRef) != 0;
    }
    platform::Arguments* args = platform::NewArguments(m.paramCount);
    auto fail = [&](const std::string& detail) {
      SetFailure(errorSummary, errorDetail, errorHint, resid::kOleCallFailed, detail,
                 resid::kOleCallFailedHint);
      platform::FreeArguments(args);
      if (ownTarget) platform::ReleaseInterface(target);
      return static_cast<unsigned char>(0);
    };

    long dispatchId = 0;
    try {
      BuildArguments(i, args, types.data());
      dispatchId = platform::DispatchIdOf(target, m.interfaceId, m.name);
    } catch (const platform::OleError& error) {
      return fail(platform::StatusMessage(error.status));
    } catch (const MissingValue& missing) {
      CGNString detail;
      detail.sprintf("parameter %u of %s has no value", missing.param + 1,
                     m.name != nullptr ? m.name : "");
      return fail(static_cast<const char*>(detail));
    }

    const unsigned int kindBits = m.returnType & OSCOM_KIND_MASK;
    const unsigned short kind = kindBits == OSCOM_PROPERTY_GET   ? platform::kCallPropertyGet
                                : kindBits == OSCOM_PROPERTY_PUT ? platform::kCallPropertyPut
                                                                 : platform::kCallMethod;
    // Kept without the kind: a later Invoke of this table calls it as a method.
    m.returnType &= ~static_cast<unsigned int>(OSCOM_KIND_MASK);
    const unsigned int returnType = m.returnType & 0xFFFF;
    if (returnType != kVtEmpty && returnType != kVtVoid) {
      m_pResults[i].result = platform::NewVariant();
    }

    try {
      platform::CallMember(target, dispatchId, kind, args,
                           static_cast<platform::Variant*>(m_pResults[i].result));
    } catch (const platform::OleDispatchError& error) {
      return fail(DispatchErrorMessage(error));
    } catch (const platform::OleError& error) {
      return fail(platform::StatusMessage(error.status));
    }

    if (m.resultId != 0) m_pResults[i].id = m.resultId;
    if (anyByRef) ReadBackByRefValues(i, args, types.data());
    platform::FreeArguments(args);
    if (ownTarget) {
      platform::ReleaseInterface(target);
    } else {
      // The previous result's reference was what the call used: let it go.
      platform::FreeVariant(static_cast<platform::Variant*>(m_pResults[i - 1].result));
      m_pResults[i - 1].result = nullptr;
    }
  }
  return 1;
}
