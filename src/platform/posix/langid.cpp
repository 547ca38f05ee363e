// POSIX side of the language seam: language ids from locale names.
#include "platform/posix/langid.h"

#include <stdlib.h>
#include <string.h>

#include <string>

#include "platform/langid.h"

namespace gnutil::platform {

namespace {

constexpr unsigned short kEnglishUS = 0x0409;
constexpr unsigned short kCustomDefault = 0x0c00;

// Main territory first for each language (see LanguageTable).
const LanguageEntry kLanguages[] = {
    {"ar_SA", 0x0401}, {"ar_IQ", 0x0801}, {"ar_EG", 0x0c01},  {"ar_LY", 0x1001}, {"ar_DZ", 0x1401},
    {"ar_MA", 0x1801}, {"ar_TN", 0x1c01}, {"ar_OM", 0x2001},  {"ar_YE", 0x2401}, {"ar_SY", 0x2801},
    {"ar_JO", 0x2c01}, {"ar_LB", 0x3001}, {"ar_KW", 0x3401},  {"ar_AE", 0x3801}, {"ar_BH", 0x3c01},
    {"ar_QA", 0x4001}, {"bg_BG", 0x0402}, {"ca_ES", 0x0403},  {"zh_TW", 0x0404}, {"zh_CN", 0x0804},
    {"zh_HK", 0x0c04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},  {"cs_CZ", 0x0405}, {"da_DK", 0x0406},
    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0c07},  {"de_LU", 0x1007}, {"de_LI", 0x1407},
    {"el_GR", 0x0408}, {"en_US", 0x0409}, {"en_GB", 0x0809},  {"en_AU", 0x0c09}, {"en_CA", 0x1009},
    {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en_ZA", 0x1c09},  {"en_JM", 0x2009}, {"en_BZ", 0x2809},
    {"en_TT", 0x2c09}, {"en_ZW", 0x3009}, {"en_PH", 0x3409},  {"en_IN", 0x4009}, {"en_MY", 0x4409},
    {"en_SG", 0x4809}, {"es_ES", 0x0c0a}, {"es_MX", 0x080a},  {"es_GT", 0x100a}, {"es_CR", 0x140a},
    {"es_PA", 0x180a}, {"es_DO", 0x1c0a}, {"es_VE", 0x200a},  {"es_CO", 0x240a}, {"es_PE", 0x280a},
    {"es_AR", 0x2c0a}, {"es_EC", 0x300a}, {"es_CL", 0x340a},  {"es_UY", 0x380a}, {"es_PY", 0x3c0a},
    {"es_BO", 0x400a}, {"es_SV", 0x440a}, {"es_HN", 0x480a},  {"es_NI", 0x4c0a}, {"es_PR", 0x500a},
    {"es_US", 0x540a}, {"fi_FI", 0x040b}, {"fr_FR", 0x040c},  {"fr_BE", 0x080c}, {"fr_CA", 0x0c0c},
    {"fr_CH", 0x100c}, {"fr_LU", 0x140c}, {"fr_MC", 0x180c},  {"he_IL", 0x040d}, {"hu_HU", 0x040e},
    {"is_IS", 0x040f}, {"it_IT", 0x0410}, {"it_CH", 0x0810},  {"ja_JP", 0x0411}, {"ko_KR", 0x0412},
    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"nb_NO", 0x0414},  {"no_NO", 0x0414}, {"nn_NO", 0x0814},
    {"pl_PL", 0x0415}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},  {"rm_CH", 0x0417}, {"ro_RO", 0x0418},
    {"ru_RU", 0x0419}, {"hr_HR", 0x041a}, {"sr_RS", 0x241a},  {"bs_BA", 0x141a}, {"sk_SK", 0x041b},
    {"sq_AL", 0x041c}, {"sv_SE", 0x041d}, {"sv_FI", 0x081d},  {"th_TH", 0x041e}, {"tr_TR", 0x041f},
    {"ur_PK", 0x0420}, {"id_ID", 0x0421}, {"uk_UA", 0x0422},  {"be_BY", 0x0423}, {"sl_SI", 0x0424},
    {"et_EE", 0x0425}, {"lv_LV", 0x0426}, {"lt_LT", 0x0427},  {"tg_TJ", 0x0428}, {"fa_IR", 0x0429},
    {"vi_VN", 0x042a}, {"hy_AM", 0x042b}, {"az_AZ", 0x042c},  {"eu_ES", 0x042d}, {"mk_MK", 0x042f},
    {"tn_ZA", 0x0432}, {"xh_ZA", 0x0434}, {"zu_ZA", 0x0435},  {"af_ZA", 0x0436}, {"ka_GE", 0x0437},
    {"fo_FO", 0x0438}, {"hi_IN", 0x0439}, {"mt_MT", 0x043a},  {"ga_IE", 0x083c}, {"ms_MY", 0x043e},
    {"kk_KZ", 0x043f}, {"ky_KG", 0x0440}, {"sw_KE", 0x0441},  {"tk_TM", 0x0442}, {"uz_UZ", 0x0443},
    {"tt_RU", 0x0444}, {"bn_IN", 0x0445}, {"bn_BD", 0x0845},  {"pa_IN", 0x0446}, {"gu_IN", 0x0447},
    {"or_IN", 0x0448}, {"ta_IN", 0x0449}, {"te_IN", 0x044a},  {"kn_IN", 0x044b}, {"ml_IN", 0x044c},
    {"as_IN", 0x044d}, {"mr_IN", 0x044e}, {"mn_MN", 0x0450},  {"cy_GB", 0x0452}, {"km_KH", 0x0453},
    {"lo_LA", 0x0454}, {"gl_ES", 0x0456}, {"si_LK", 0x045b},  {"am_ET", 0x045e}, {"ne_NP", 0x0461},
    {"fy_NL", 0x0462}, {"ps_AF", 0x0463}, {"fil_PH", 0x0464}, {"ha_NG", 0x0468}, {"yo_NG", 0x046a},
    {"ig_NG", 0x0470},
};

// Splits "ll_TT.codeset@modifier" into language and territory.
void SplitLocaleName(const char* name, std::string* language, std::string* territory) {
  size_t end = strcspn(name, ".@");
  std::string base(name, end);
  size_t underscore = base.find('_');
  *language = base.substr(0, underscore);
  *territory = underscore == std::string::npos ? std::string() : base.substr(underscore + 1);
}

}  // namespace

const LanguageEntry* LanguageTable(size_t* count) {
  if (count != nullptr) *count = sizeof kLanguages / sizeof kLanguages[0];
  return kLanguages;
}

unsigned short LangIDForLocaleName(const char* name) {
  if (name == nullptr || *name == '\0' || strcmp(name, "C") == 0 || strcmp(name, "POSIX") == 0 ||
      strncmp(name, "C.", 2) == 0) {
    return kEnglishUS;
  }
  std::string language, territory;
  SplitLocaleName(name, &language, &territory);
  std::string full = language + "_" + territory;
  const LanguageEntry* first = nullptr;
  for (const LanguageEntry& e : kLanguages) {
    if (full == e.locale) return e.langId;
    const char* underscore = strchr(e.locale, '_');
    if (first == nullptr && language.size() == static_cast<size_t>(underscore - e.locale) &&
        language.compare(0, language.size(), e.locale, language.size()) == 0) {
      first = &e;
    }
  }
  return first != nullptr ? first->langId : kCustomDefault;
}

const char* LocaleNameForLangID(unsigned short langId) {
  const LanguageEntry* primary = nullptr;
  for (const LanguageEntry& e : kLanguages) {
    if (e.langId == langId) return e.locale;
    if (primary == nullptr && (e.langId & 0x3ff) == (langId & 0x3ff)) primary = &e;
  }
  return primary != nullptr ? primary->locale : nullptr;
}

const char* UserLocaleName() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = getenv(var);
    if (v != nullptr && *v != '\0') return v;
  }
  return "C";
}

unsigned short UserDefaultLangID() { return LangIDForLocaleName(UserLocaleName()); }

}  // namespace gnutil::platform
