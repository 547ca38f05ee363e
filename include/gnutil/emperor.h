/// \file
/// \ingroup datetime
/// Japanese eras: the era record CEmperor and the year conversions.
///
/// Under the Japanese era calendar years are counted within eras, the first
/// year of an era being year 1. A locale record (lclocale.h) carries a table
/// of eras, newest first, ended by an empty record; the conversions between
/// Gregorian years and era years walk that table (CLCLocale::Emperor...).
///
/// An era normally begins on 1 January of its first year, which is how the
/// built-in table counts. An era may also begin on a later day of that year
/// (SetFirstDay): the year-based look-ups still count whole years, and the
/// date-based ones (...FromGregorianDate) put the days before it in the
/// previous era.
#ifndef GNUTIL_EMPEROR_H
#define GNUTIL_EMPEROR_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

/// A Japanese era: its name, first Gregorian year, span in years and the
/// day of the first year on which it began.
class GNUTIL_API CEmperor {
 public:
  /// An empty record: empty name, first year and span 0.
  CEmperor();
  /// Name (multibyte text), first Gregorian year, span in years (0 for the
  /// era still running).
  CEmperor(CGNString name, long firstYear, long span);
  CEmperor(const CEmperor& other);             ///< A copy.
  CEmperor& operator=(const CEmperor& other);  ///< Copies every field.
  ~CEmperor();                                 ///< Frees what the object owns.

  /// Sets name, first year and span (the first day stays).
  void Set(CGNString name, long firstYear, long span);
  /// The first Gregorian year.
  long GetFirstYear();
  /// The span in years; 0 for the era still running.
  long GetSpan() const;
  /// The era's name into name.
  void Emperor(CGNString& name);
  /// 1 when the name is empty and both numbers are 0.
  unsigned char IsEmpty();

  /// The era year of a Gregorian year: 0 when the year is before the first
  /// year or, for an era that ended, at or after first year + span.
  long EmperorYrFromGregorianYr(long year);

  /// The day of its first year on which the era began (1 January unless set).
  void SetFirstDay(long month, long day);
  /// The month (1 to 12) of the first day.
  long GetFirstMonth() const;
  /// The day of the month of the first day.
  long GetFirstDay() const;
  /// The era year of a Gregorian date, 0 when the date is not in this era:
  /// before the first day, or in a year at or after first year + span.
  long EmperorYrFromGregorianDate(long year, long month, long day);

 private:
  CGNString m_name;
  long m_firstYear;
  long m_span;
  long m_firstMonth;
  long m_firstDay;
};

#endif  // GNUTIL_EMPEROR_H
