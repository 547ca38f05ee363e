// Automation chains against the servers that Wine (like Windows) registers:
// Scripting.Dictionary, Scripting.FileSystemObject and MSXML2.DOMDocument.
// The class ids are looked up by ProgID, so the tests also prove that the
// servers are registered where the client looks for them.
#include <gtest/gtest.h>
#include <windows.h>
// COM headers after windows.h.
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "gnutil/osole.h"
#include "support/library_texts.h"
#include "support/ole_table.h"

namespace {

using namespace gnutil_test;

std::string ClassIdOf(const char* progId) {
  const std::wstring wide(progId, progId + strlen(progId));
  CLSID clsid;
  wchar_t text[64] = L"";
  if (SUCCEEDED(CLSIDFromProgID(wide.c_str(), &clsid))) StringFromGUID2(clsid, text, 64);
  return std::string(text, text + wcslen(text));
}

struct Reported {
  unsigned int fieldId;
  std::string text;
  int type;
};

void RecordCallback(void* context) {
  auto* c = static_cast<POINTERPARAMCONTEXT*>(context);
  static_cast<std::vector<Reported>*>(c->callerDataA)
      ->push_back({c->fieldId, static_cast<const char*>(c->valueText), c->valueType});
}

struct Outcome {
  unsigned char ok;
  std::string result;
  int type;
  std::string summary, detail, hint;
};

class Automation : public ::testing::Test {
 protected:
  void SetUp() override {
    const UINT acp = GetACP();
    if (acp != 1252 && acp != 932) GTEST_SKIP() << "runs as the English and Japanese users";
    ASSERT_TRUE(AttachLibraryTexts());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    comInitialised_ = true;
    dictionary_ = ClassIdOf("Scripting.Dictionary");
    files_ = ClassIdOf("Scripting.FileSystemObject");
    xml_ = ClassIdOf("MSXML2.DOMDocument");
    // Registered in the fresh prefix, where the client looks for them.
    ASSERT_FALSE(dictionary_.empty() || files_.empty() || xml_.empty());
  }

  void TearDown() override {
    if (automation_ != nullptr) automation_->CleanUP();
    automation_.reset();
    if (comInitialised_) CoUninitialize();
  }

  // Runs one chain on a fresh object; the object stays for inspection.
  Outcome Run(const std::string& classId, const std::vector<MethodRow>& rows) {
    Outcome out{0, "", -1, "", "", ""};
    if (automation_ != nullptr) automation_->CleanUP();
    automation_ = std::make_unique<COSOLEAutomation>();
    automation_->FillParamCallBackInfo(&reported_, nullptr, RecordCallback);
    OSZEAutomationStruct table = MakeTable(classId.c_str(), rows);
    automation_->SetOSZEAutoStruct(table);
    CGNString result, summary, detail, hint;
    void* root = nullptr;
    if (!automation_->CreateUnknownPointer(automation_->GetClsID(), &root, summary, detail, hint)) {
      EXPECT_EQ(nullptr, root);
    } else {
      out.ok = automation_->Invoke(root, result, out.type, summary, detail, hint);
      if (!out.ok) automation_->ReleaseUnks(root);
    }
    out.result = static_cast<const char*>(result);
    out.summary = static_cast<const char*>(summary);
    out.detail = static_cast<const char*>(detail);
    out.hint = static_cast<const char*>(hint);
    return out;
  }

  bool comInitialised_ = false;
  std::string dictionary_, files_, xml_;
  std::unique_ptr<COSOLEAutomation> automation_;
  std::vector<Reported> reported_;
};

const unsigned int kGet = OSCOM_PROPERTY_GET;
const unsigned int kPut = OSCOM_PROPERTY_PUT;
const unsigned int kMethod = OSCOM_METHOD;

template <typename... P>
MethodRow M(const char* name, unsigned int type, unsigned int id, P... params) {
  return MethodRow{name, type, id, {params...}};
}
ParamRow V(const char* text) { return Literal(kVtVariant, text); }
ParamRow B(const char* text) { return Literal(kVtBstr, text); }

// Chains of members, each on the object the one before returned (or on the
// root); a result kept under an id becomes a later member's parameter.
TEST_F(Automation, ChainsGiveTheLastMembersResult) {
  const MethodRow addA = M("Add", kMethod | kVtVoid, 1, V("a"), V("apple"));
  const MethodRow load = M("loadXML", kVtBool, 1, B("<root/>"));
  const MethodRow element = M("createElement", kVtDispatch, 3, B("item"));
  const MethodRow root = M("documentElement", kGet | kVtDispatch, 0);
  const MethodRow name = M("nodeName", kGet | kVtBstr, 0);
  const ParamRow kept = {OSCOM_PARAM_LITERAL, kVtDispatch, "", 0, 3};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string file = temp + ("gnutil_ole_" + std::to_string(GetCurrentProcessId()));
  const ParamRow optional = Literal(kVtBool | OSCOM_OPTIONAL, nullptr);
  struct Case {
    const char* what;
    unsigned char ok;
    std::string result;
    int type;  // -2: not checked
    const std::string& server;
    std::vector<MethodRow> rows;
  };
  const MethodRow putMode = M("CompareMode", kPut | kVtVoid, 1, Literal(kVtI4, "1"));
  const MethodRow keyAdd = M("Add", kVtVoid, 6, Result(kVtVariant, 5), V("zero"));
  const MethodRow item0 = M("Item", kGet | kVtVariant, 0, Literal(kVtI4, "0"));
  const MethodRow append = M("appendChild", kVtDispatch, 0, kept);
  const MethodRow appendNone = M("appendChild", kVtDispatch, 0, Literal(kVtDispatch, ""));
  const MethodRow create = M("CreateTextFile", kVtDispatch, 0, B(file.c_str()), optional, optional);
  std::vector<Case> cases = {
      // A boolean becomes text without VARIANT_ALPHABOOL: -1 and 0.
      {"Exists", 1, "-1", kVtBool, dictionary_, {addA, M("Exists", kMethod | kVtBool, 0, V("a"))}},
      {"put, get", 1, "1", kVtI4, dictionary_, {putMode, M("CompareMode", kGet | kVtI4, 0)}},
      {"kept key", 1, "zero", -2, dictionary_, {M("Count", kGet | kVtI4, 5), keyAdd, item0}},
      {"kept object", 1, "item", kVtBstr, xml_, {load, element, root, append, name}},
      // No PTid: an empty object reaches appendChild.
      {"no object", 0, "", -2, xml_, {load, element, root, appendNone, name}},
      // CreateTextFile(name, [overwrite], [unicode]), then Close on the stream: a void
      // last member gives an empty result and leaves the type alone.
      {"optional", 1, "", -1, files_, {create, M("Close", kVtVoid, 0)}},
  };
  if (GetACP() == 932) {  // <名前>: an element name in Shift-JIS
    const MethodRow loadName = M("loadXML", kVtBool, 1, B("<\x96\xbc\x91\x4f/>"));
    cases.push_back({"Japanese", 1, "\x96\xbc\x91\x4f", -2, xml_, {loadName, root, name}});
  }
  for (const auto& c : cases) {
    Outcome out = Run(c.server, c.rows);
    EXPECT_EQ(c.ok, out.ok) << c.what << ": " << out.detail;
    EXPECT_EQ(c.result, out.result) << c.what;
    EXPECT_TRUE(c.type == -2 || c.type == out.type) << c.what << ": type " << out.type;
  }
  DeleteFileA(file.c_str());
}

TEST_F(Automation, ByReferenceFieldsAreReadBackAndReported) {
  Outcome out = Run(dictionary_,
                    {M("Add", kVtVoid, 1, Field(kVtByRef | kVtVariant, "k", 7),
                       Field(kVtByRef | kVtBstr, "v", 8)),
                     M("Add", kVtVoid, 2, Field(kVtByRef | kVtI4, "12", 9), V("twelve")),
                     M("Add", kVtVoid, 3, Field(kVtByRef | kVtR8, "2.5", 10), V("half")),
                     M("Add", kVtVoid, 4, Field(kVtByRef | kVtDate, "2024-03-05", 11), V("spring")),
                     M("Item", kGet | kVtVariant, 0, Literal(kVtI4, "12"))});
  ASSERT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("twelve", out.result);
  const Reported expected[] = {{7, "k", kVtBstr},
                               {8, "v", kVtBstr},
                               {9, "12", kVtI4},
                               {10, "2.500000", kVtR8},
                               {11, "2024", kVtDate}};
  ASSERT_EQ(5u, reported_.size());
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(expected[i].fieldId, reported_[i].fieldId) << i;
    EXPECT_NE(std::string::npos, reported_[i].text.find(expected[i].text)) << reported_[i].text;
    EXPECT_EQ(expected[i].type, reported_[i].type) << i;
  }
  unsigned char isResult = 9;
  EXPECT_STREQ("2.500000", automation_->GetParamValue(2, 0, isResult));
  EXPECT_EQ(0, isResult);
}

TEST_F(Automation, FailuresAndTheirTexts) {
  const std::string called = LibraryText(25205), calledHint = LibraryText(25206);
  const MethodRow count = M("Count", kGet | kVtI4, 0);
  MethodRow noInterface = count;
  noInterface.interfaceId = "{0000010C-0000-0000-C000-000000000046}";
  const MethodRow noValue = M("Exists", kVtBool, 0, Field(kVtVariant, nullptr, 4));
  const MethodRow addX = M("Add", kVtVoid, 1, V("a"), V("x"));
  const std::string mismatch = "return type mismatch to invoke next method";
  const struct {
    // The system's text for a status (empty: not checked) is empty under
    // Wine, which has none for these statuses.
    std::string summary, hint, detail;
    std::vector<MethodRow> rows;
  } cases[] = {
      {called, calledHint, "", {M("NoSuchMember", kVtI4, 0)}},
      {called, calledHint, mismatch, {count, count}},
      {called, calledHint, mismatch, {M("RemoveAll", kVtVoid, 0), count}},
      {called, calledHint, "parameter 1 of Exists has no value", {noValue}},
      {called, calledHint, "", {M("Exists", kVtBool, 0, Field(kVtByRef | kVtI4, "twelve", 4))}},
      {called, calledHint, "", {addX, M("Add", kVtVoid, 0, V("a"), V("y"))}},
      {LibraryText(25207), calledHint, "", {noInterface}},
      {LibraryText(25202), "", "", {}},  // no methods
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows.empty() ? "no methods" : c.rows.back().name);
    Outcome out = Run(dictionary_, c.rows);
    EXPECT_EQ(0, out.ok);
    EXPECT_EQ(c.summary, out.summary);
    EXPECT_EQ(c.hint, out.hint);
    EXPECT_TRUE(c.detail.empty() || c.detail == out.detail) << out.detail;
    EXPECT_EQ("", out.result);
  }
}

// Classes of our own, registered for the test (Wine's HKEY_CLASSES_ROOT
// does not show the user's own classes, so they go where it looks): the
// server key found first decides how the object is created, and a server
// that cannot be started gives the creation's texts.
TEST_F(Automation, RegistrationDecidesHowTheServerIsCreated) {
  EXPECT_EQ("The automation server is not registered on this computer.", LibraryText(25200));
  const struct {
    const char* classId;
    const char* serverKey;  // null: not registered
    long summaryId;
  } cases[] = {
      {"{01234567-89AB-CDEF-0123-456789ABCDEF}", nullptr, 25200},
      {"{6E1A0C2B-5D3F-4B7A-9C11-0A1B2C3D4E01}", "LocalServer32", 25204},
      {"{6E1A0C2B-5D3F-4B7A-9C11-0A1B2C3D4E03}", "TreatAs", 25200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.classId);
    const std::string classKey = std::string("CLSID\\") + c.classId;
    const std::string serverKey = classKey + "\\" + (c.serverKey ? c.serverKey : "");
    HKEY key;
    if (c.serverKey != nullptr) {
      ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, serverKey.c_str(), &key));
      const char kMissing[] = "Z:\\nonexistent\\gnutil_missing_server.exe";
      RegSetValueA(key, nullptr, REG_SZ, kMissing, sizeof kMissing - 1);
      RegCloseKey(key);
    }
    Outcome out = Run(c.classId, {M("Count", kGet | kVtI4, 0)});
    EXPECT_EQ(0, out.ok);
    EXPECT_EQ(LibraryText(c.summaryId), out.summary);
    EXPECT_EQ(LibraryText(25201), out.hint);
    EXPECT_TRUE(c.serverKey != nullptr || out.detail.empty()) << out.detail;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, serverKey.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, classKey.c_str());
  }
}

}  // namespace
