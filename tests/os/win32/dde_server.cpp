// A small DDE server for the DDE client's tests, which the client starts
// itself: gnutil_dde_server SERVICE TOPIC offers SERVICE|TOPIC, registered
// through OSDDEInit with this program's callback.
//
// Items: "value" (starts as "42"; pokes replace it), "empty" (an empty text)
// and "last" (what the last execute or poke brought, as "EXECUTE <command>"
// or "POKE value=<data>").
// Pokes to other items and requests of unknown items are refused. The command
// "quit" ends the server once the conversation that sent it has ended; so
// does an idle minute.
#include <windows.h>
// ddeml.h needs the types of windows.h first.
#include <ddeml.h>
#include <string.h>

#include <string>

#include "gnutil/osdde.h"

namespace {

DWORD g_instance = 0;
HSZ g_topic = nullptr;
std::string g_value = "42";
std::string g_last;
bool g_quitRequested = false;
DWORD g_lastActivity = 0;

std::string ItemName(HSZ item) {
  char name[256] = "";
  DdeQueryStringA(g_instance, item, name, sizeof name, CP_WINANSI);
  return name;
}

std::string DataText(HDDEDATA data) {
  DWORD size = 0;
  const char* bytes = reinterpret_cast<const char*>(DdeAccessData(data, &size));
  if (bytes == nullptr) return std::string();
  std::string text(bytes, strnlen(bytes, size));
  DdeUnaccessData(data);
  return text;
}

HDDEDATA Reply(HSZ item, const std::string& text) {
  return DdeCreateDataHandle(g_instance, reinterpret_cast<LPBYTE>(const_cast<char*>(text.c_str())),
                             static_cast<DWORD>(text.size() + 1), 0, item, CF_TEXT, 0);
}

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ item, HDDEDATA data, ULONG_PTR,
                           ULONG_PTR) {
  g_lastActivity = GetTickCount();
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(DdeCmpStringHandles(topic, g_topic) == 0 ? TRUE : FALSE);
    case XTYP_EXECUTE: {
      std::string command = DataText(data);
      g_last = "EXECUTE " + command;
      if (command == "quit") g_quitRequested = true;
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    case XTYP_POKE:
      if (ItemName(item) != "value") return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
      g_value = DataText(data);
      g_last = "POKE value=" + g_value;
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    case XTYP_REQUEST: {
      const std::string name = ItemName(item);
      if (name == "value") return Reply(item, g_value);
      if (name == "last") return Reply(item, g_last);
      if (name == "empty") return Reply(item, std::string());
      return nullptr;
    }
    case XTYP_DISCONNECT:
      if (g_quitRequested) PostQuitMessage(0);
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  CGNString service(argv[1]);
  long instance = 0;
  if (!OSDDEInit(
          APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
          reinterpret_cast<void*>(Callback), service, &instance)) {
    return 1;
  }
  g_instance = static_cast<DWORD>(instance);
  g_topic = DdeCreateStringHandleA(g_instance, argv[2], CP_WINANSI);
  g_lastActivity = GetTickCount();
  SetTimer(nullptr, 0, 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
      if (GetTickCount() - g_lastActivity > 60000) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DdeFreeStringHandle(g_instance, g_topic);
  OSDDEUnInit();
  return 0;
}
