#include "compress/DosDateTime.h"

#include <algorithm>

uint32_t PackDosDateTime(const TDosDateTime& t) {
  const uint32_t year = static_cast<uint32_t>(std::clamp(t.Year, 1980, 2107) - 1980);
  const uint32_t month = static_cast<uint32_t>(std::clamp(t.Month, 1, 12));
  const uint32_t day = static_cast<uint32_t>(std::clamp(t.Day, 1, 31));
  const uint32_t hour = static_cast<uint32_t>(std::clamp(t.Hour, 0, 23));
  const uint32_t minute = static_cast<uint32_t>(std::clamp(t.Minute, 0, 59));
  const uint32_t second = static_cast<uint32_t>(std::clamp(t.Second, 0, 59));
  const uint32_t date = (year << 9) | (month << 5) | day;
  const uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
  return (date << 16) | time;
}

TDosDateTime UnpackDosDateTime(uint32_t packed) {
  const uint32_t date = DosDateWord(packed);
  const uint32_t time = DosTimeWord(packed);
  TDosDateTime t;
  t.Year = 1980 + static_cast<int>(date >> 9);
  t.Month = static_cast<int>((date >> 5) & 0x0F);
  t.Day = static_cast<int>(date & 0x1F);
  t.Hour = static_cast<int>(time >> 11);
  t.Minute = static_cast<int>((time >> 5) & 0x3F);
  t.Second = static_cast<int>((time & 0x1F) * 2);
  return t;
}
