#include "screen/elements.h"

#include <cstdio>

namespace mazeblast {

Text numberCaption(long value) {
  char buf[24];
  std::snprintf(buf, sizeof buf, value < 0 ? "%ld" : " %ld", value);
  return Text(buf);
}

char Button::accessKey() const {
  const std::string_view s = Caption.view();
  const auto amp = s.find('&');
  if (amp == std::string_view::npos || amp + 1 >= s.size()) return 0;
  const char c = s[amp + 1];
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace mazeblast
