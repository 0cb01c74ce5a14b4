#include "app/month_navigation.h"

namespace mirokata {

CivilDate MoveMonth(CivilDate date, int delta) {
  const int index = date.year * 12 + (date.month - 1) + delta;
  CivilDate out;
  out.year = index >= 0 ? index / 12 : (index - 11) / 12;
  out.month = index - out.year * 12 + 1;
  out.day = date.day;
  while (out.day > 1 && !IsValidDate(out.year, out.month, out.day)) --out.day;
  return out;
}

}  // namespace mirokata
