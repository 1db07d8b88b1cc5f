// libFuzzer target: reader, checker and a sequence of QSO judgements, own sum
// and reload on one imported log.

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "support/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problems =
      loggrevy::harness::ExerciseJudgement(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problems.empty()) {
    std::fputs(problems.c_str(), stderr);
    __builtin_trap();
  }
  return 0;
}
