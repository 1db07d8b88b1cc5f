#include "results/check_report_files.h"

#include <sstream>
#include <string_view>

#include "core/cp1252.h"
#include "results/writers.h"

namespace loggrevy {

namespace {

std::string ReportFileName(std::string_view station) {
  std::string name;
  for (const char c : station) {
    const auto byte = static_cast<unsigned char>(c);
    name += c == '/' || byte < 32 || byte == 127 ? '-' : c;
  }
  return Cp1252ToUtf8(name) + ".txt";
}

}  // namespace

std::map<std::string, std::string> CheckReportFiles(const TCrossCheck& crossCheck) {
  std::map<std::string, std::string> reports;
  for (std::size_t log = 0; log < crossCheck.LogCount(); ++log) {
    const std::string& station = crossCheck.BatchLog(log).Station;
    if (station.empty()) continue;
    std::ostringstream report;
    WriteCheckReport(report, crossCheck, log);
    std::string& text = reports[ReportFileName(station)];
    if (!text.empty()) text += '\n';
    text += report.str();
  }
  return reports;
}

}  // namespace loggrevy
