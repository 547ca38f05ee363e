// A small DDE server for the DDE client's tests, which the client starts
// itself: gnutil_dde_server SERVICE TOPIC offers SERVICE|TOPIC.
//
// Items: "value" (starts as "42"; pokes replace it), "empty" (an empty text:
// one zero byte), "zero" (a reply of no bytes at all) and "last" (what the
// last execute or poke brought, as "EXECUTE <command>" or "POKE value=<data>").
// Pokes to other items and requests of unknown items are refused. The command
// "quit" ends the server once the conversation that sent it has ended; so
// does an idle minute.
#include <windows.h>
// ddeml.h needs the types of windows.h first.
#include <ddeml.h>
#include <string.h>

#include <string>

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
  std::string text = bytes != nullptr ? std::string(bytes, strnlen(bytes, size)) : std::string();
  if (bytes != nullptr) DdeUnaccessData(data);
  return text;
}

HDDEDATA Reply(HSZ item, const std::string& text, bool empty) {
  return DdeCreateDataHandle(
      g_instance, empty ? nullptr : reinterpret_cast<LPBYTE>(const_cast<char*>(text.c_str())),
      empty ? 0 : static_cast<DWORD>(text.size() + 1), 0, item, CF_TEXT, 0);
}

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA data,
                           ULONG_PTR, ULONG_PTR) {
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
    case XTYP_POKE: {
      if (format != CF_TEXT || ItemName(item) != "value") {
        return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
      }
      g_value = DataText(data);
      g_last = "POKE value=" + g_value;
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    case XTYP_REQUEST: {
      const std::string name = ItemName(item);
      if (format != CF_TEXT) return nullptr;
      if (name == "value") return Reply(item, g_value, false);
      if (name == "last") return Reply(item, g_last, false);
      if (name == "empty") return Reply(item, std::string(), false);
      if (name == "zero") return Reply(item, std::string(), true);
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
  if (DdeInitializeA(
          &g_instance, Callback,
          APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
          0) != DMLERR_NO_ERROR) {
    return 1;
  }
  HSZ service = DdeCreateStringHandleA(g_instance, argv[1], CP_WINANSI);
  g_topic = DdeCreateStringHandleA(g_instance, argv[2], CP_WINANSI);
  DdeNameService(g_instance, service, nullptr, DNS_REGISTER);

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
  DdeNameService(g_instance, nullptr, nullptr, DNS_UNREGISTER);
  DdeFreeStringHandle(g_instance, service);
  DdeFreeStringHandle(g_instance, g_topic);
  DdeUninitialize(g_instance);
  return 0;
}
