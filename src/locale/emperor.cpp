// The era record and its year conversions.
#include "gnutil/emperor.h"

CEmperor::CEmperor() : m_firstYear(0), m_span(0), m_firstMonth(1), m_firstDay(1) {}

CEmperor::CEmperor(CGNString name, long firstYear, long span)
    : m_name(name), m_firstYear(firstYear), m_span(span), m_firstMonth(1), m_firstDay(1) {}

CEmperor::CEmperor(const CEmperor& other) = default;

CEmperor& CEmperor::operator=(const CEmperor& other) {
  if (this != &other) {
    m_name = other.m_name;
    m_firstYear = other.m_firstYear;
    m_span = other.m_span;
    m_firstMonth = other.m_firstMonth;
    m_firstDay = other.m_firstDay;
  }
  return *this;
}

CEmperor::~CEmperor() = default;

void CEmperor::Set(CGNString name, long firstYear, long span) {
  m_name = name;
  m_firstYear = firstYear;
  m_span = span;
  m_firstMonth = 1;
  m_firstDay = 1;
}

long CEmperor::GetFirstYear() { return m_firstYear; }

long CEmperor::GetSpan() const { return m_span; }

void CEmperor::Emperor(CGNString& name) { name = m_name; }

unsigned char CEmperor::IsEmpty() {
  return m_name.IsEmpty() && m_firstYear == 0 && m_span == 0 ? 1 : 0;
}

long CEmperor::EmperorYrFromGregorianYr(long year) {
  if (year < m_firstYear) return 0;
  if (m_span != 0 && year >= m_firstYear + m_span) return 0;
  return year - m_firstYear + 1;
}

void CEmperor::SetFirstDay(long month, long day) {
  m_firstMonth = month;
  m_firstDay = day;
}

long CEmperor::GetFirstMonth() const { return m_firstMonth; }

long CEmperor::GetFirstDay() const { return m_firstDay; }

long CEmperor::EmperorYrFromGregorianDate(long year, long month, long day) {
  long eraYear = EmperorYrFromGregorianYr(year);
  if (eraYear == 1 && (month < m_firstMonth || (month == m_firstMonth && day < m_firstDay)))
    return 0;
  return eraYear;
}
