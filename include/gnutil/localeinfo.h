/// \file
/// \ingroup locale
/// The installed locales, and the small locale handle classes.
///
/// LocaleInfo keeps a process-wide table of the locales installed on the
/// system, each with the name setlocale knows it by, an English description
/// and the Windows locale identifier. The table is filled on first use
/// (GetLocaleInfoCount) and emptied by Free; it takes no lock, so fill it
/// before starting threads.
///
/// Windows: the system's installed locales in its own order, named from their
/// abbreviations and ANSI code page ("ENU_USA.1252").
/// Linux: the locales setlocale accepts, under their own names ("ja_JP.sjis",
/// "en_US.utf8"): those under LOCPATH when it is set (directory by directory,
/// each sorted by name), otherwise those in glibc's locale archive and then
/// those in /usr/lib/locale (each sorted by name). C and POSIX are left out.
/// Identifiers and descriptions come from the language-id table and ICU.
#ifndef GNUTIL_LOCALEINFO_H
#define GNUTIL_LOCALEINFO_H

#include "gnutil/export.h"
#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"
#include "gnutil/lclocale.h"

/// One entry of the table of installed locales, and the table itself.
class GNUTIL_API LocaleInfo {
 public:
  /// An empty entry, appended to the table (which owns it from then on).
  LocaleInfo();
  /// Copies are not added to the table.
  LocaleInfo(LocaleInfo const& other);
  /// Copies the entry's fields.
  LocaleInfo& operator=(LocaleInfo const& other);

  /// Fills the table when it is empty and returns the number of entries.
  static long GetLocaleInfoCount();
  /// The entry at index (0-based), or null outside the table.
  static LocaleInfo* GetLocaleInfoItem(long index);
  /// Destroys every entry and empties the table; the next count fills it.
  static void Free();

  CGNString m_name;          ///< For SetLocale: ENU_USA.1252 (Windows), en_US.utf8 (Linux).
  CGNString m_description;   ///< For people: English (United States).
  unsigned long m_localeId;  ///< The numeric locale identifier (0x0409).

  /// The table: pointers to the entries, as list values.
  static CGNList m_localeInfoList;

 private:
  /// Only Free destroys entries.
  ~LocaleInfo();
  friend struct LocaleInfoAccess;
};

/// Value classes that hold no settings: no operation of the library gives
/// them content.
class GNUTIL_API CLCMoney {
 public:
  CLCMoney();                                  ///< An object with value 0.
  ~CLCMoney();                                 ///< Frees what the object owns.
  CLCMoney& operator=(const CLCMoney& other);  ///< Copies the value.
  long m_value;                                ///< Not used by the library.
};

/// A value class that holds no settings (see CLCMoney).
class GNUTIL_API CLCNumber {
 public:
  CLCNumber();                                   ///< An object with value 0.
  ~CLCNumber();                                  ///< Frees what the object owns.
  CLCNumber& operator=(const CLCNumber& other);  ///< Copies the value.
  long m_value;                                  ///< Not used by the library.
};

/// A value class that holds no settings (see CLCMoney).
class GNUTIL_API CLCDecimal {
 public:
  CLCDecimal();                                    ///< An empty object.
  ~CLCDecimal();                                   ///< Frees what the object owns.
  CLCDecimal& operator=(const CLCDecimal& other);  ///< Copies nothing.
};

/// A value class that holds no settings (see CLCMoney).
class GNUTIL_API CLCDateTime {
 public:
  CLCDateTime();                                     ///< An object with values 0.
  ~CLCDateTime();                                    ///< Frees what the object owns.
  CLCDateTime& operator=(const CLCDateTime& other);  ///< Copies the values.
  long m_value1;                                     ///< Not used by the library.
  long m_value2;                                     ///< Not used by the library.
};

/// Handles owning one object each; copies own copies.
class GNUTIL_API CGNLocale {
 public:
  /// A locale record with its built-in values (not filled from the system).
  CGNLocale();
  CGNLocale(const CGNLocale& other);             ///< Owns a copy of the record.
  CGNLocale& operator=(const CGNLocale& other);  ///< Replaces the record with a copy.
  ~CGNLocale();                                  ///< Frees what the object owns.
  CLCLocale* m_pLocale;                          ///< The owned record.
};

/// A handle owning one CLCMoney.
class GNUTIL_API CGNMoney {
 public:
  CGNMoney();                                  ///< A handle owning a new CLCMoney.
  CGNMoney(const CGNMoney& other);             ///< Owns a copy.
  CGNMoney& operator=(const CGNMoney& other);  ///< Replaces the object with a copy.
  ~CGNMoney();                                 ///< Frees what the object owns.
  CLCMoney* m_pMoney;                          ///< The owned object.
};

/// A handle owning one CLCNumber.
class GNUTIL_API CGNNumber {
 public:
  CGNNumber();                                   ///< A handle owning a new CLCNumber.
  CGNNumber(const CGNNumber& other);             ///< Owns a copy.
  CGNNumber& operator=(const CGNNumber& other);  ///< Replaces the object with a copy.
  ~CGNNumber();                                  ///< Frees what the object owns.
  CLCNumber* m_pNumber;                          ///< The owned object.
};

#endif  // GNUTIL_LOCALEINFO_H
