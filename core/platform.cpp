#include "core/platform.h"

#include <langinfo.h>
#include <locale.h>
#include <sched.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <thread>

namespace loggrevy {

int32_t SystemUtcOffsetMinutes() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 60;
  return static_cast<int32_t>(local.tm_gmtoff / 60);
}

char SystemDecimalSeparator() {
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const char separator = (radix != nullptr && std::strlen(radix) == 1) ? radix[0] : '.';
  freelocale(user);
  return separator;
}

int32_t SystemCurrentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 1970;
  return local.tm_year + 1900;
}

int64_t SystemNowNs() {
  struct timespec now {};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return 0;
  return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// The cores of the affinity mask, as a container or taskset limits them.
std::size_t SystemCoreCount() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
    return static_cast<std::size_t>(CPU_COUNT(&cores));
  }
  return std::max(1U, std::thread::hardware_concurrency());
}

}  // namespace loggrevy
