#pragma once

// Runs the reader and the rules checker on an EDI text and gives the
// checker's messages as (UTF-8 text, QSO, severity), so that tests compare the
// whole list with one EXPECT_EQ.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "checker/naccheck.h"
#include "core/cp1252.h"
#include "edi/reg1test.h"

namespace loggrevy::test {

struct Message {
  std::string Text;  // UTF-8
  int32_t Qso = -1;
  int Severity = 0;

  friend bool operator==(const Message&, const Message&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << "{\"" << m.Text << "\", " << m.Qso << ", " << m.Severity << "}";
  }
};

inline std::vector<Message> MessagesOf(const TNacChecker& checker) {
  std::vector<Message> result;
  for (const TCheckMessage& m : checker.Messages()) result.push_back({Cp1252ToUtf8(m.Text), m.Qso, m.Severity});
  return result;
}

// A parsed and checked log. The reader is expected to read the text cleanly
// (status 0); a test about the checker should not depend on the reader's
// findings.
struct CheckedLog {
  std::unique_ptr<TReg1Test> Edi = std::make_unique<TReg1Test>(',');
  std::unique_ptr<TNacChecker> Checker = std::make_unique<TNacChecker>();

  std::vector<Message> Messages() const { return MessagesOf(*Checker); }
};

inline std::unique_ptr<CheckedLog> CheckText(std::string_view text, int32_t year = 2007, int32_t utcOffset = 120,
                                             int expectedStatus = 0) {
  auto log = std::make_unique<CheckedLog>();
  log->Edi->LoadFromBuffer(text, "test.edi");
  if (log->Edi->Status != expectedStatus) {
    std::string diagnostics;
    for (const TDiagnostic& d : log->Edi->Diagnostics) diagnostics += Cp1252ToUtf8(d.Text) + "; ";
    ADD_FAILURE() << "reader status " << int{log->Edi->Status} << ": " << diagnostics;
  }
  log->Checker->Check(*log->Edi, year, utcOffset);
  return log;
}

}  // namespace loggrevy::test
