// Ids of the library's own message texts (resources/gnutil.rc).
#ifndef GNUTIL_SRC_OS_RESOURCE_IDS_H
#define GNUTIL_SRC_OS_RESOURCE_IDS_H

namespace gnutil::resid {

constexpr long kOleNotRegistered = 25200;
constexpr long kOleNotRegisteredHint = 25201;
constexpr long kOleNoMethods = 25202;
constexpr long kOleTitle = 25203;
constexpr long kOleCreateFailed = 25204;
constexpr long kOleCallFailed = 25205;
constexpr long kOleCallFailedHint = 25206;
constexpr long kOleNoInterface = 25207;
constexpr long kOleNotAvailable = 25208;
constexpr long kOleWaitEntry = 25210;
constexpr long kOleWaitSection = 25211;
constexpr long kDdeEmpty = 25215;
constexpr long kDdeUnknownType = 25221;     // no values
constexpr long kDdeNoConversation = 25222;  // %X code, %s service, topic, item, data, program
constexpr long kDdeNoHandle = 25223;        // %s "item" or "data handle"
constexpr long kDdeTransactionFailed =
    25224;                                    // %X code, %s transaction, service, topic, item, data
constexpr long kDdeDisconnectFailed = 25225;  // %X code
constexpr long kDdeNotAvailable = 25226;

}  // namespace gnutil::resid

#endif  // GNUTIL_SRC_OS_RESOURCE_IDS_H
