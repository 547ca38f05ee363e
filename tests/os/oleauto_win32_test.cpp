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
#include "support/win32/under_wine.h"

namespace {

using namespace gnutil_test;

std::string ClassIdOf(const char* progId) {
  std::wstring wide(progId, progId + strlen(progId));
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(wide.c_str(), &clsid))) return std::string();
  LPOLESTR text = nullptr;
  StringFromCLSID(clsid, &text);
  std::string narrow;
  for (const wchar_t* p = text; *p != 0; ++p) narrow += static_cast<char>(*p);
  CoTaskMemFree(text);
  return narrow;
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
  }

  void TearDown() override {
    if (automation_ != nullptr) {
      automation_->CleanUP();
      automation_.reset();
    }
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

  std::string TempDir() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return dir;
  }

  bool comInitialised_ = false;
  std::string dictionary_, files_, xml_;
  std::unique_ptr<COSOLEAutomation> automation_;
  std::vector<Reported> reported_;
};

const unsigned int kGet = OSCOM_PROPERTY_GET;
const unsigned int kPut = OSCOM_PROPERTY_PUT;
const unsigned int kMethod = OSCOM_METHOD;

TEST_F(Automation, ServersAreRegisteredInTheFreshPrefix) {
  for (const std::string* id : {&dictionary_, &files_, &xml_}) {
    ASSERT_FALSE(id->empty());
    COSOLEAutomation automation;
    CGNString summary, detail, hint;
    void* root = nullptr;
    EXPECT_EQ(1, automation.CreateUnknownPointer(const_cast<char*>(id->c_str()), &root, summary,
                                                 detail, hint))
        << *id << ": " << static_cast<const char*>(detail);
    EXPECT_NE(nullptr, root);
    automation.ReleaseUnks(root);
  }
}

TEST_F(Automation, DictionaryChainsOnTheRootObject) {
  struct Case {
    const char* what;
    std::vector<MethodRow> lastRows;
    const char* result;
    int type;
  } cases[] = {
      {"Count", {{"Count", kGet | kVtI4, 0, {}}}, "2", kVtI4},
      {"Item", {{"Item", kGet | kVtVariant, 0, {Literal(kVtVariant, "b")}}}, "banana", kVtBstr},
      // A boolean becomes text without VARIANT_ALPHABOOL: -1 and 0.
      {"Exists", {{"Exists", kMethod | kVtBool, 0, {Literal(kVtVariant, "a")}}}, "-1", kVtBool},
      {"Exists, absent", {{"Exists", kVtBool, 0, {Literal(kVtVariant, "c")}}}, "0", kVtBool},
  };
  for (const Case& c : cases) {
    std::vector<MethodRow> rows = {
        {"Add", kMethod | kVtVoid, 1, {Literal(kVtVariant, "a"), Literal(kVtVariant, "apple")}},
        {"Add", kVtVoid, 2, {Literal(kVtVariant, "b"), Literal(kVtVariant, "banana")}}};
    rows.insert(rows.end(), c.lastRows.begin(), c.lastRows.end());
    Outcome out = Run(dictionary_, rows);
    EXPECT_EQ(1, out.ok) << c.what << ": " << out.detail;
    EXPECT_EQ(c.result, out.result) << c.what;
    EXPECT_EQ(c.type, out.type) << c.what;
  }
}

TEST_F(Automation, PropertyPutThenGet) {
  Outcome out = Run(dictionary_, {{"CompareMode", kPut | kVtVoid, 1, {Literal(kVtI4, "1")}},
                                  {"CompareMode", kGet | kVtI4, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("1", out.result);
}

TEST_F(Automation, ResultKeptUnderAnIdBecomesAParameter) {
  // Count (0) is kept under 5 and used as the key of Add.
  Outcome out =
      Run(dictionary_, {{"Count", kGet | kVtI4, 5, {}},
                        {"Add", kVtVoid, 6, {Result(kVtVariant, 5), Literal(kVtVariant, "zero")}},
                        {"Item", kGet | kVtVariant, 0, {Literal(kVtI4, "0")}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("zero", out.result);
}

TEST_F(Automation, ByReferenceFieldsAreReadBackAndReported) {
  Outcome out =
      Run(dictionary_,
          {{"Add",
            kVtVoid,
            1,
            {Field(kVtByRef | kVtVariant, "k", 7), Field(kVtByRef | kVtBstr, "v", 8)}},
           {"Add", kVtVoid, 2, {Field(kVtByRef | kVtI4, "12", 9), Literal(kVtVariant, "twelve")}},
           {"Add", kVtVoid, 3, {Field(kVtByRef | kVtR8, "2.5", 10), Literal(kVtVariant, "half")}},
           {"Item", kGet | kVtVariant, 0, {Literal(kVtI4, "12")}}});
  ASSERT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("twelve", out.result);
  ASSERT_EQ(4u, reported_.size());
  const Reported expected[] = {
      {7, "k", kVtBstr}, {8, "v", kVtBstr}, {9, "12", kVtI4}, {10, "2.500000", kVtR8}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i].fieldId, reported_[i].fieldId) << i;
    EXPECT_EQ(expected[i].text, reported_[i].text) << i;
    EXPECT_EQ(expected[i].type, reported_[i].type) << i;
  }
  unsigned char isResult = 9;
  EXPECT_STREQ("2.500000", automation_->GetParamValue(2, 0, isResult));
  EXPECT_EQ(0, isResult);
}

TEST_F(Automation, ByReferenceDateIsPassedAsADate) {
  Outcome out = Run(dictionary_,
                    {{"Add",
                      kVtVoid,
                      1,
                      {Field(kVtByRef | kVtDate, "2024-03-05", 3), Literal(kVtVariant, "spring")}},
                     {"Count", kGet | kVtI4, 0, {}}});
  ASSERT_EQ(1, out.ok) << out.detail;
  ASSERT_EQ(1u, reported_.size());
  EXPECT_EQ(kVtDate, static_cast<unsigned int>(reported_[0].type));
  EXPECT_NE(std::string::npos, reported_[0].text.find("2024")) << reported_[0].text;
}

TEST_F(Automation, FileSystemObjectMembers) {
  const std::string dir = TempDir() + "gnutil_ole_" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  const std::string name = dir.substr(dir.find_last_of('\\') + 1);

  Outcome out = Run(files_, {{"BuildPath",
                              kVtBstr,
                              0,
                              {Literal(kVtBstr, "C:\\some dir"), Literal(kVtBstr, "name.txt")}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("C:\\some dir\\name.txt", out.result);

  out = Run(files_, {{"GetTempName", kVtBstr, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ(0u, out.result.find("rad")) << out.result;
  EXPECT_EQ(".tmp", out.result.substr(out.result.size() - 4)) << out.result;

  // Through the returned folder object to one of its properties.
  out = Run(files_, {{"GetFolder", kVtDispatch, 0, {Literal(kVtBstr, dir.c_str())}},
                     {"Name", kGet | kVtBstr, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ(name, out.result);
  RemoveDirectoryA(dir.c_str());
}

TEST_F(Automation, OptionalParametersLeftOut) {
  const std::string path =
      TempDir() + "gnutil_ole_" + std::to_string(GetCurrentProcessId()) + ".txt";
  // CreateTextFile(name, [overwrite], [unicode]) and then Close on the stream;
  // a void last member gives an empty result and leaves the type alone.
  Outcome out =
      Run(files_, {{"CreateTextFile",
                    kVtDispatch,
                    0,
                    {Literal(kVtBstr, path.c_str()), Literal(kVtBool | OSCOM_OPTIONAL, nullptr),
                     Literal(kVtBool | OSCOM_OPTIONAL, nullptr)}},
                   {"Close", kVtVoid, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("", out.result);
  EXPECT_EQ(-1, out.type);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));

  out = Run(files_, {{"DeleteFile",
                      kVtVoid,
                      1,
                      {Literal(kVtBstr, path.c_str()), Literal(kVtBool | OSCOM_OPTIONAL, nullptr)}},
                     {"FileExists", kVtBool, 0, {Literal(kVtBstr, path.c_str())}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("0", out.result);
  DeleteFileA(path.c_str());
}

TEST_F(Automation, XmlChainThroughReturnedObjects) {
  Outcome out = Run(xml_, {{"loadXML", kVtBool, 1, {Literal(kVtBstr, "<root><child/></root>")}},
                           {"documentElement", kGet | kVtDispatch, 0, {}},
                           {"nodeName", kGet | kVtBstr, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("root", out.result);
  EXPECT_EQ(kVtBstr, static_cast<unsigned int>(out.type));

  // An element made earlier, kept under an id and passed as an object.
  out = Run(xml_, {{"loadXML", kVtBool, 1, {Literal(kVtBstr, "<root/>")}},
                   {"createElement", kVtDispatch, 3, {Literal(kVtBstr, "item")}},
                   {"documentElement", kGet | kVtDispatch, 0, {}},
                   {"appendChild", kVtDispatch, 0, {Literal(kVtDispatch, "")}},
                   {"nodeName", kGet | kVtBstr, 0, {}}});
  EXPECT_EQ(0, out.ok);  // no PTid: an empty object reaches appendChild
  out =
      Run(xml_,
          {{"loadXML", kVtBool, 1, {Literal(kVtBstr, "<root/>")}},
           {"createElement", kVtDispatch, 3, {Literal(kVtBstr, "item")}},
           {"documentElement", kGet | kVtDispatch, 0, {}},
           {"appendChild", kVtDispatch, 0, {ParamRow{OSCOM_PARAM_LITERAL, kVtDispatch, "", 0, 3}}},
           {"nodeName", kGet | kVtBstr, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("item", out.result);
}

TEST_F(Automation, JapaneseTextCrossesInTheAnsiCodePage) {
  if (GetACP() != 932) GTEST_SKIP() << "runs as the Japanese user";
  // <名前>: an element name in Shift-JIS.
  const char kXml[] = "<\x96\xbc\x91\x4f/>";
  Outcome out = Run(xml_, {{"loadXML", kVtBool, 1, {Literal(kVtBstr, kXml)}},
                           {"documentElement", kGet | kVtDispatch, 0, {}},
                           {"nodeName", kGet | kVtBstr, 0, {}}});
  EXPECT_EQ(1, out.ok) << out.detail;
  EXPECT_EQ("\x96\xbc\x91\x4f", out.result);
}

TEST_F(Automation, FailuresAndTheirTexts) {
  const std::string called = LibraryText(25205), calledHint = LibraryText(25206);
  struct Case {
    const char* what;
    std::vector<MethodRow> rows;
    // "*": the system's text for the status. Wine has none for these
    // statuses, so there the detail is empty, as for any status without one.
    std::string summary, hint, detail;
  } cases[] = {
      {"unknown member", {{"NoSuchMember", kVtI4, 0, {}}}, called, calledHint, "*"},
      {"member on a number",
       {{"Count", kGet | kVtI4, 0, {}}, {"Count", kGet | kVtI4, 0, {}}},
       called,
       calledHint,
       "return type mismatch to invoke next method"},
      {"member on nothing",
       {{"RemoveAll", kVtVoid, 0, {}}, {"Count", kGet | kVtI4, 0, {}}},
       called,
       calledHint,
       "return type mismatch to invoke next method"},
      {"required parameter without value",
       {{"Exists", kVtBool, 0, {Field(kVtVariant, nullptr, 4)}}},
       called,
       calledHint,
       "parameter 1 of Exists has no value"},
      {"by-reference number that is not one",
       {{"Exists", kVtBool, 0, {Field(kVtByRef | kVtI4, "twelve", 4)}}},
       called,
       calledHint,
       ""},
      {"duplicate key raised by the server",
       {{"Add", kVtVoid, 1, {Literal(kVtVariant, "a"), Literal(kVtVariant, "x")}},
        {"Add", kVtVoid, 0, {Literal(kVtVariant, "a"), Literal(kVtVariant, "y")}}},
       called,
       calledHint,
       "*"},
      {"interface the server lacks",
       {{"Count", kGet | kVtI4, 0, {}, "{0000010C-0000-0000-C000-000000000046}"}},
       LibraryText(25207),
       calledHint,
       "*"},
      {"no methods", {}, LibraryText(25202), "", ""},
  };
  for (const Case& c : cases) {
    Outcome out = Run(dictionary_, c.rows);
    EXPECT_EQ(0, out.ok) << c.what;
    EXPECT_EQ(c.summary, out.summary) << c.what;
    EXPECT_EQ(c.hint, out.hint) << c.what;
    if (c.detail == "*") {
      if (!RunsUnderWine()) {
        EXPECT_NE("", out.detail) << c.what;
      }
    } else if (!c.detail.empty()) {
      EXPECT_EQ(c.detail, out.detail) << c.what;
    }
    EXPECT_EQ("", out.result) << c.what;
  }
}

TEST_F(Automation, UnregisteredClass) {
  char unregistered[] = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
  COSOLEAutomation automation;
  CGNString summary, detail("untouched"), hint;
  void* root = &summary;
  EXPECT_EQ(0, automation.CreateUnknownPointer(unregistered, &root, summary, detail, hint));
  EXPECT_EQ(nullptr, root);
  EXPECT_EQ(LibraryText(25200), static_cast<const char*>(summary));
  EXPECT_EQ(LibraryText(25201), static_cast<const char*>(hint));
  EXPECT_STREQ("untouched", detail);
  EXPECT_EQ("The automation server is not registered on this computer.", LibraryText(25200));

  Outcome out = Run(unregistered, {{"Count", kGet | kVtI4, 0, {}}});
  EXPECT_EQ(0, out.ok);
  EXPECT_EQ(LibraryText(25200), out.summary);
}

// Classes of our own, registered for the test (Wine's HKEY_CLASSES_ROOT
// does not show the user's own classes, so they go where it looks): the
// server key found first decides how the object is created, and a
// server that cannot be started gives the creation's texts.
TEST_F(Automation, RegistrationDecidesHowTheServerIsCreated) {
  struct Case {
    const char* classId;
    const char* serverKey;
    long summaryId;
  } cases[] = {
      {"{6E1A0C2B-5D3F-4B7A-9C11-0A1B2C3D4E01}", "LocalServer32", 25204},
      {"{6E1A0C2B-5D3F-4B7A-9C11-0A1B2C3D4E02}", "InprocServer32", 25204},
      {"{6E1A0C2B-5D3F-4B7A-9C11-0A1B2C3D4E03}", "TreatAs", 25200},
  };
  for (const Case& c : cases) {
    const std::string classKey = std::string("CLSID\\") + c.classId;
    const std::string serverKey = classKey + "\\" + c.serverKey;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, serverKey.c_str(), &key));
    const char kMissing[] = "Z:\\nonexistent\\gnutil_missing_server.exe";
    RegSetValueA(key, nullptr, REG_SZ, kMissing, sizeof kMissing - 1);
    RegCloseKey(key);

    COSOLEAutomation automation;
    CGNString summary, detail, hint;
    void* root = &summary;
    EXPECT_EQ(0, automation.CreateUnknownPointer(const_cast<char*>(c.classId), &root, summary,
                                                 detail, hint));
    EXPECT_EQ(nullptr, root);
    EXPECT_EQ(LibraryText(c.summaryId), static_cast<const char*>(summary)) << c.serverKey;
    EXPECT_EQ(LibraryText(25201), static_cast<const char*>(hint)) << c.serverKey;
    // The system's text for the creation's status; Wine has none for these.
    if (c.summaryId == 25204 && !RunsUnderWine()) {
      EXPECT_STRNE("", detail) << c.serverKey;
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, serverKey.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, classKey.c_str());
  }
}

TEST_F(Automation, NullRootFailsWithoutTexts) {
  COSOLEAutomation automation;
  OSZEAutomationStruct table = MakeTable(dictionary_.c_str(), {{"Count", kGet | kVtI4, 0, {}}});
  automation.SetOSZEAutoStruct(table);
  CGNString result("r"), summary("s"), detail("d"), hint("h");
  int type = -1;
  EXPECT_EQ(0, automation.Invoke(nullptr, result, type, summary, detail, hint));
  EXPECT_STREQ("s", summary);
  EXPECT_STREQ("d", detail);
  EXPECT_STREQ("h", hint);
  EXPECT_EQ(1, automation.IsAutomationSupported());
  CGNString title;
  automation.GetTitle(title);
  EXPECT_STREQ("Automation", title);
}

}  // namespace
