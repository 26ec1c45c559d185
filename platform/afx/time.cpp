// Time values and spans over time_t.

#include "symbase/afx.h"

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
    : m_timeSpan(static_cast<time_t>(lDays) * 86400 + static_cast<time_t>(nHours) * 3600 +
                 static_cast<time_t>(nMins) * 60 + nSecs) {}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) : m_time(0) {
  struct tm fields = {};
  fields.tm_year = nYear - 1900;
  fields.tm_mon = nMonth - 1;
  fields.tm_mday = nDay;
  fields.tm_hour = nHour;
  fields.tm_min = nMin;
  fields.tm_sec = nSec;
  fields.tm_isdst = nDST < 0 ? -1 : (nDST > 0 ? 1 : 0);
  time_t t = mktime(&fields);
  if (t != static_cast<time_t>(-1)) m_time = t;
}

CTime CTime::GetCurrentTime() { return CTime(time(nullptr)); }

bool CTime::LocalFields(struct tm* out) const { return localtime_r(&m_time, out) != nullptr; }

namespace {

// A field of the local time, or 0 when the time cannot be broken down.
int LocalField(const CTime& t, int tm::*field) {
  time_t value = t.GetTime();
  struct tm fields = {};
  return localtime_r(&value, &fields) != nullptr ? fields.*field : 0;
}

CString FormatFields(const struct tm& fields, LPCTSTR pFormat) {
  if (pFormat == nullptr || *pFormat == '\0') return CString();
  // Doubling until it fits; a format that yields nothing stops at a cap.
  for (size_t size = 128; size <= 65536; size *= 2) {
    CString out;
    char* buffer = out.GetBuffer(static_cast<int>(size));
    size_t n = strftime(buffer, size, pFormat, &fields);
    if (n > 0) {
      out.ReleaseBuffer(static_cast<int>(n));
      return out;
    }
  }
  return CString();
}

}  // namespace

int CTime::GetYear() const { return LocalField(*this, &tm::tm_year) + 1900; }
int CTime::GetMonth() const { return LocalField(*this, &tm::tm_mon) + 1; }
int CTime::GetDay() const { return LocalField(*this, &tm::tm_mday); }
int CTime::GetHour() const { return LocalField(*this, &tm::tm_hour); }
int CTime::GetMinute() const { return LocalField(*this, &tm::tm_min); }
int CTime::GetSecond() const { return LocalField(*this, &tm::tm_sec); }
int CTime::GetDayOfWeek() const { return LocalField(*this, &tm::tm_wday) + 1; }

CString CTime::Format(LPCTSTR pFormat) const {
  struct tm fields = {};
  return LocalFields(&fields) ? FormatFields(fields, pFormat) : CString();
}

CString CTime::FormatGmt(LPCTSTR pFormat) const {
  struct tm fields = {};
  return gmtime_r(&m_time, &fields) != nullptr ? FormatFields(fields, pFormat) : CString();
}
