#include <iostream>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "core/platform.h"

int main(int argc, char* argv[]) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const loggrevy::TSystemDefaults defaults{loggrevy::SystemCurrentYear(), loggrevy::SystemUtcOffsetMinutes(),
                                           loggrevy::SystemDecimalSeparator()};
  const int status = loggrevy::RunCheckCommand(args, std::cout, std::cerr, defaults);
  std::cout.flush();
  return status;
}
