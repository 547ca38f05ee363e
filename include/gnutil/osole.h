/// \file
/// \ingroup ossvc
/// OLE automation client: drives an automation server through a chain of
/// member calls described by a table instead of code.
///
/// The caller fills an OSZEAutomationStruct with the server's class id and an
/// ordered table of members (OSZECOMMethodStruct), each with its parameters
/// (OSCOMParamStruct), hands it to a COSOLEAutomation (SetOSZEAutoStruct),
/// creates the server's root object (CreateUnknownPointer) and runs the chain
/// (Invoke), which yields the last member's result as text.
///
/// A member is called on the root object when it is the first or when the
/// member before it kept its result under an id; otherwise it is called on the
/// object that the member before it returned ("application, then its
/// documents, then Open"). A parameter is a literal text, the text of an
/// application field (by reference, the new value is reported through the
/// callback of FillParamCallBackInfo and stored), or the result that an
/// earlier member kept under an id.
///
/// Ownership: after SetOSZEAutoStruct the object owns the method table: its
/// destructor frees, with free(), every field parameter's text, every
/// parameter array and the method array, which must therefore come from
/// malloc/calloc. Names, interface id texts, literal texts and the class id
/// text stay the caller's. COM must be initialised on the calling thread; the
/// root object is released by CleanUP, and the object (which may hold results
/// that are server objects) must be cleaned up or destroyed before the thread
/// uninitialises COM.
///
/// Failures come as three texts: a summary and a hint (the library's string
/// resources 25200 to 25207, loaded with OSLoadString) and a detail (the
/// system's or the server's message).
///
/// Linux has no COM: there IsAutomationSupported returns 0 and
/// CreateUnknownPointer and Invoke fail at once with the summary "automation
/// does not exist on this platform" (string resource 25208).
#ifndef GNUTIL_OSOLE_H
#define GNUTIL_OSOLE_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

#define OSCOM_PARAM_RESULT 0   ///< Parameter kind: the result kept under PTid by an earlier member.
#define OSCOM_PARAM_FIELD 1    ///< Parameter kind: an application field's text.
#define OSCOM_PARAM_LITERAL 2  ///< Parameter kind: a literal text.

// Bits 0x0F00 of a member's return type choose how it is called; in a
// parameter's type, OSCOM_OPTIONAL marks one that may be left out.
#define OSCOM_KIND_MASK 0x0F00     ///< The call-kind bits of a member's return type.
#define OSCOM_PROPERTY_GET 0x0B00  ///< Call kind: read a property.
#define OSCOM_PROPERTY_PUT 0x0A00  ///< Call kind: write a property.
#define OSCOM_METHOD 0x0C00        ///< Call kind: call a method.
#define OSCOM_OPTIONAL 0x0A00      ///< In a parameter's type: it may be left out.

/// One parameter of a member; eight 32-bit fields on 32-bit Windows.
struct OSCOMParamStruct {
  unsigned int reserved0;  ///< The caller's; not read.
  unsigned int type;       ///< VARTYPE: VT_BYREF (0x4000) for by reference, OSCOM_OPTIONAL.
  unsigned int reserved2;  ///< The caller's; not read.
  unsigned int PTid;       ///< The result id a result (or VT_DISPATCH) parameter takes.
  int kind;                ///< OSCOM_PARAM_RESULT, _FIELD or _LITERAL.
  char* fieldText;         ///< Current text of a field parameter (malloc'ed, owned).
  unsigned int fieldId;    ///< The application field of a field parameter.
  char* literalText;       ///< Text of a literal parameter (the caller's).
};

/// One member of the chain; eleven 32-bit fields on 32-bit Windows.
struct OSZECOMMethodStruct {
  char* name;  ///< Looked up on the server.
  /// "{...}", asked of the root object: IDispatch or an interface derived
  /// from it (a dual interface). Parsed for every member, so always valid.
  char* interfaceId;
  unsigned int returnType;    ///< VARTYPE of the result, with the call kind bits.
  unsigned int reserved3;     ///< The caller's; not read.
  unsigned int resultId;      ///< 0: the next member is called on this result.
  unsigned int reserved5[4];  ///< The caller's; not read.
  unsigned int paramCount;    ///< Entries of params.
  OSCOMParamStruct* params;   ///< malloc'ed, owned after SetOSZEAutoStruct.
};

/// The server and its chain; six 32-bit fields on 32-bit Windows.
struct OSZEAutomationStruct {
  unsigned int word0;            ///< The caller's; copied along.
  char* classId;                 ///< "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
  unsigned int word2;            ///< The caller's; copied along.
  unsigned int word3;            ///< The caller's; copied along.
  unsigned int methodCount;      ///< Entries of methods.
  OSZECOMMethodStruct* methods;  ///< malloc'ed, owned after SetOSZEAutoStruct.
};

class COSOLEAutomation;

/// What the by-reference callback receives: the new value of one field.
struct GNUTIL_API POINTERPARAMCONTEXT {
  void (*callback)(void* context);  ///< Called with this context; may be null.
  void* callerDataB;                ///< The caller's second pointer.
  COSOLEAutomation* owner;          ///< The automation object.
  void* callerDataA;                ///< The caller's first pointer.
  unsigned int fieldId;             ///< The field whose value changed.
  CGNString valueText;              ///< Its new value as text.
  int valueType;                    ///< VARTYPE of the value.

  POINTERPARAMCONTEXT();  ///< Every field null or 0, the text empty.
  POINTERPARAMCONTEXT(const POINTERPARAMCONTEXT& other);             ///< Copies every field.
  POINTERPARAMCONTEXT& operator=(const POINTERPARAMCONTEXT& other);  ///< Copies every field.
  ~POINTERPARAMCONTEXT();  ///< Frees what the object owns.
};

/// The callback gets the object's address, which is also that of its
/// POINTERPARAMCONTEXT part. The object owns server references and its table,
/// so it cannot be copied.
class GNUTIL_API COSOLEAutomation : public POINTERPARAMCONTEXT {
 public:
  COSOLEAutomation();   ///< An object without a table or a root object.
  ~COSOLEAutomation();  ///< Frees what the object owns.
  COSOLEAutomation(const COSOLEAutomation&) = delete;             ///< Not copyable.
  COSOLEAutomation& operator=(const COSOLEAutomation&) = delete;  ///< Not copyable.

  /// Takes over the table (an earlier one is not released).
  void SetOSZEAutoStruct(OSZEAutomationStruct& description);
  /// The table held (empty before SetOSZEAutoStruct).
  OSZEAutomationStruct& GetOSZEStruct();

  ///@{
  /// The server's class id text; empty (or null) without a table.
  CGNString GetServerCLSID();
  char* GetClsID();
  ///@}
  /// The number of members; 0 without a table.
  unsigned int GetMethodCount();
  ///@{
  /// A member's name, interface id, parameter count or a parameter's result
  /// id. Accessors give null or 0 without a table or for an index out of
  /// range.
  char* GetMethodName(unsigned int method);
  char* GetMethodIID(unsigned int method);
  unsigned int GetParamCount(unsigned int method);
  unsigned int GetPTid(unsigned int method, unsigned int param);
  ///@}
  /// A field's or literal's text; for a result parameter null, with isResult
  /// set when an earlier member kept a result under its PTid.
  char* GetParamValue(unsigned int method, unsigned int param, unsigned char& isResult);
  /// The field id of a field parameter; error = 1 for any other.
  unsigned int GetFieldID(unsigned int method, unsigned int param, unsigned char& error);
  /// Replaces a literal's or field's text with a copy (an empty text changes
  /// nothing and gives 1). Returns 0 without a table, for an index out of
  /// range or when no memory is left.
  unsigned char SetParamValueText(int method, int param, const char* text);
  /// Replaces a field parameter's text, when it has one. Parameter first.
  void SetOSAutoFldValue(int param, int method, CGNString text);
  /// The callback for by-reference field parameters and the two pointers it
  /// finds in its context.
  void FillParamCallBackInfo(void* callerDataA, void* callerDataB, void (*fn)(void*));

  /// 1 where the platform has OLE automation (Windows), 0 where not (Linux).
  unsigned char IsAutomationSupported();
  /// Creates the server's root object (IUnknown*). 0 and a null object on
  /// failure, with the texts set.
  unsigned char CreateUnknownPointer(char* classId, void** object, CGNString& errorSummary,
                                     CGNString& errorDetail, CGNString& errorHint);
  /// The title of automation messages.
  void GetTitle(CGNString& title);
  /// Releases the root object recorded by Invoke and the server objects kept
  /// as results.
  void CleanUP();
  /// Releases one server object (IUnknown*); null is ignored.
  void ReleaseUnks(void* unknown);

  /// Runs the chain on the root object. 1 with the last member's result as
  /// text (and its VARTYPE before conversion), or 0 with the error texts set
  /// (none when the root is null). The error texts are left alone on success.
  /// The call kind bits are taken out of the table's return types as each
  /// member is called, so a second Invoke of the same table calls every
  /// member as a method: set the table again first.
  unsigned char Invoke(void* root, CGNString& result, int& resultType, CGNString& errorSummary,
                       CGNString& errorDetail, CGNString& errorHint);

 private:
  struct ResultEntry {
    unsigned int id;
    void* result;  // the member's result VARIANT, or null
  };

  void FreeOSMethodList();
  void FreeOSMethodStrcut(OSZECOMMethodStruct* method);
  void FreeResults();
  OSCOMParamStruct* Param(unsigned int method, unsigned int param);
  ResultEntry* FindResult(unsigned int id);
  unsigned char InvokeMethodChain(void* root, CGNString& errorSummary, CGNString& errorDetail,
                                  CGNString& errorHint);
  void* GetMethodDispatch(unsigned int method, void* root, CGNString& errorSummary,
                          CGNString& errorDetail, CGNString& errorHint);
  void BuildArguments(unsigned int method, void* arguments, const unsigned short* types);
  void ReadBackByRefValues(unsigned int method, void* arguments, const unsigned short* types);
  void KeepLiteralCopy(char* copy);

  ResultEntry* m_pResults;
  OSZEAutomationStruct m_autoStruct;
  void* m_pRootUnknown;
  unsigned int m_nResults;   // entries of m_pResults
  char** m_ppLiteralCopies;  // texts made by SetParamValueText, freed with the object
  unsigned int m_nLiteralCopies;
};

#endif  // GNUTIL_OSOLE_H
