// The DOS packed date and time of a member header: the date word in the high 16 bits
// (bits 15..9 year - 1980, 8..5 month, 4..0 day), the time word in the low 16 bits
// (bits 15..11 hour, 10..5 minute, 4..0 seconds / 2). Local time, two-second resolution.
#pragma once

#include <cstdint>

struct TDosDateTime {
  int Year = 1980;
  int Month = 1;
  int Day = 1;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// Fields out of range are clamped to what the layout can hold (years 1980..2107, seconds
// rounded down to even).
uint32_t PackDosDateTime(const TDosDateTime& dateTime);
TDosDateTime UnpackDosDateTime(uint32_t packed);

inline uint16_t DosDateWord(uint32_t packed) {
  return static_cast<uint16_t>(packed >> 16);
}
inline uint16_t DosTimeWord(uint32_t packed) {
  return static_cast<uint16_t>(packed & 0xFFFF);
}
