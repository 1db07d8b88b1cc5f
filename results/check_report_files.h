#pragma once

#include <map>
#include <string>

#include "crosscheck/crosscheck.h"

namespace loggrevy {

// The check reports of a cross-checked batch as files: one per station, named
// by its key ("/" and bytes that cannot stand in a file name as "-") + ".txt"
// in UTF-8, holding the reports of the station's logs (every band, every
// version) one after the other in import order.
std::map<std::string, std::string> CheckReportFiles(const TCrossCheck& crossCheck);

}  // namespace loggrevy
