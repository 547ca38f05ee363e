// POSIX side of the automation seam: Linux has no COM. Nothing is ever
// registered or created, so the portable chain stops before any of the
// variant functions below could be reached; they exist to keep both sides of
// the seam alike and do nothing.
#include "platform/ole.h"

namespace gnutil::platform {

bool AutomationAvailable() { return false; }
std::string StatusMessage(long) { return std::string(); }
ServerRegistration FindServer(const char*) { return ServerRegistration::kNone; }

long CreateServerObject(const char*, bool, void** unknown) {
  *unknown = nullptr;
  return -1;
}

long QueryInterfaceByText(void*, const char*, void** dispatch) {
  *dispatch = nullptr;
  return -1;
}

void ReleaseInterface(void*) {}
Variant* NewVariant() { return nullptr; }
void FreeVariant(Variant*) {}
unsigned short VariantTypeOf(const Variant*) { return 0; }

DispatchLookup DispatchOf(Variant*, void** dispatch) {
  *dispatch = nullptr;
  return DispatchLookup::kNotAnObject;
}

bool VariantToText(Variant*, std::string*) { return false; }
Arguments* NewArguments(unsigned int) { return nullptr; }
void FreeArguments(Arguments*) {}
void SetOmitted(Arguments*, unsigned int) {}
void SetCopy(Arguments*, unsigned int, const Variant*) {}
void SetText(Arguments*, unsigned int, unsigned short, const char*, const Variant*) {}
bool ReadBack(Arguments*, unsigned int, unsigned short, std::string*, unsigned short*) {
  return false;
}
long DispatchIdOf(void*, const char*, const char*) { throw OleError{-1}; }
void CallMember(void*, long, unsigned short, Arguments*, Variant*) { throw OleError{-1}; }

}  // namespace gnutil::platform
