// The installed locales, and the small locale handle classes.
//
// LocaleInfo keeps a process-wide table of the locales installed on the
// system, each with the name setlocale knows it by, an English description
// and the Windows locale identifier. The table is filled on first use
// (GetLocaleInfoCount) and emptied by Free; it takes no lock, so fill it
// before starting threads.
//
// Windows: the system's installed locales in its own order, named from their
// abbreviations and ANSI code page ("ENU_USA.1252").
// Linux: the locales setlocale accepts, under their own names ("ja_JP.sjis",
// "en_US.utf8"): those under LOCPATH when it is set (directory by directory,
// each sorted by name), otherwise those in glibc's locale archive and then
// those in /usr/lib/locale (each sorted by name). C and POSIX are left out.
// Identifiers and descriptions come from the language-id table and ICU.
#ifndef GNUTIL_LOCALEINFO_H
#define GNUTIL_LOCALEINFO_H

#include "gnutil/export.h"
#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"
#include "gnutil/lclocale.h"

class GNUTIL_API LocaleInfo {
 public:
  // An empty entry, appended to the table (which owns it from then on).
  LocaleInfo();
  // Copies are not added to the table.
  LocaleInfo(LocaleInfo const& other);
  LocaleInfo& operator=(LocaleInfo const& other);

  // Fills the table when it is empty and returns the number of entries.
  static long GetLocaleInfoCount();
  // The entry at index (0-based), or null outside the table.
  static LocaleInfo* GetLocaleInfoItem(long index);
  // Destroys every entry and empties the table; the next count fills it.
  static void Free();

  CGNString m_name;         // e.g. ENU_USA.1252 (Windows), en_US.utf8 (Linux)
  CGNString m_description;  // e.g. English (United States)
  unsigned long m_localeId;

  // The table: pointers to the entries, as list values.
  static CGNList m_localeInfoList;

 private:
  // Only Free destroys entries.
  ~LocaleInfo();
  friend struct LocaleInfoAccess;
};

// Value classes that hold no settings: no operation of the library gives
// them content.
class GNUTIL_API CLCMoney {
 public:
  CLCMoney();
  ~CLCMoney();
  CLCMoney& operator=(const CLCMoney& other);
  long m_value;
};

class GNUTIL_API CLCNumber {
 public:
  CLCNumber();
  ~CLCNumber();
  CLCNumber& operator=(const CLCNumber& other);
  long m_value;
};

class GNUTIL_API CLCDecimal {
 public:
  CLCDecimal();
  ~CLCDecimal();
  CLCDecimal& operator=(const CLCDecimal& other);
};

class GNUTIL_API CLCDateTime {
 public:
  CLCDateTime();
  ~CLCDateTime();
  CLCDateTime& operator=(const CLCDateTime& other);
  long m_value1;
  long m_value2;
};

// Handles owning one object each; copies own copies.
class GNUTIL_API CGNLocale {
 public:
  // A locale record with its built-in values (not filled from the system).
  CGNLocale();
  CGNLocale(const CGNLocale& other);
  CGNLocale& operator=(const CGNLocale& other);
  ~CGNLocale();
  CLCLocale* m_pLocale;
};

class GNUTIL_API CGNMoney {
 public:
  CGNMoney();
  CGNMoney(const CGNMoney& other);
  CGNMoney& operator=(const CGNMoney& other);
  ~CGNMoney();
  CLCMoney* m_pMoney;
};

class GNUTIL_API CGNNumber {
 public:
  CGNNumber();
  CGNNumber(const CGNNumber& other);
  CGNNumber& operator=(const CGNNumber& other);
  ~CGNNumber();
  CLCNumber* m_pNumber;
};

#endif  // GNUTIL_LOCALEINFO_H
