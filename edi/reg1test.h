#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edi/qso_record.h"

namespace loggrevy {

// One line of the file as the reader keeps it, with the position of its
// diagnostic in Diagnostics (0: the line has none).
struct TEdiLine {
  uint32_t Offset = 0;  // into the reader's text store
  uint32_t Length = 0;
  int32_t DiagnosticRef = 0;
};

// A reader diagnostic with the index of its line in Lines, -1 for the file.
struct TDiagnostic {
  std::string Text;
  int32_t LineRef = 0;
};

inline constexpr int kKeywordCount = 36;

struct TValuePart;

// Files larger than this are not read; they become unreadable logs.
inline constexpr std::uintmax_t kMaxEdiFileSize = 64u * 1024u * 1024u;
// Nor files of more lines than this: every line costs up to about 200 bytes
// of records and diagnostics, so within the size cap alone a file of two-byte
// lines would take gigabytes. A log of a million QSOs stays well below.
inline constexpr std::size_t kMaxEdiLines = 2'000'000;

// The bytes of the file at path as LoadFromFile reads them; nullopt when it
// cannot be opened or read, is not a regular file, or is larger than
// kMaxEdiFileSize. LoadFromBuffer of these bytes reads the log as
// LoadFromFile does.
std::optional<std::string> ReadEdiFileBytes(const std::string& path);

// One EDI (REG1TEST version 1) log read into memory. Reading never fails
// towards the caller: every problem of the file becomes a diagnostic tied to
// its line, and Status sums up how usable the log is:
//   0 read without findings
//   1 a value failed to convert, or fewer QSO lines than declared
//   2 at least one of the 36 header keywords is missing
//   3 unreadable (bad version, a section missing, a bad contest date, an
//     unreadable QSO line, or a read that failed)
// Texts are Windows-1252 bytes. The object may read again (reload): header
// values, QSOCount and ReadFinished then keep what the new file does not set.
class TReg1Test {
 public:
  // decimalSeparator: the separator of the claimed best-DX distance, the one
  // of the user's locale.
  explicit TReg1Test(char decimalSeparator = ',');
  TReg1Test(const TReg1Test&) = delete;
  TReg1Test& operator=(const TReg1Test&) = delete;

  // Reads the file at path. Never writes to it, never throws. A path that is
  // not a regular file, or a file larger than kMaxEdiFileSize or with more
  // than kMaxEdiLines lines, is unreadable.
  void LoadFromFile(const std::string& path);
  // Reads file contents already in memory, as LoadFromFile does after opening.
  void LoadFromBuffer(std::string_view bytes, const std::string& fileName);
  // The same, taking the bytes over instead of copying them.
  void TakeBuffer(std::string bytes, const std::string& fileName);

  // The record of the 1-based QSO number n, or nullptr outside 1..QSOs.size().
  const TQSORecord* GetQSO(int64_t n) const;
  TQSORecord* GetQSO(int64_t n);

  // Appends a diagnostic; a line keeps only its first one. lineIndex < 0: the
  // diagnostic concerns the whole file.
  void AddDiagnostic(int32_t lineIndex, std::string_view text);

  // The keyword number 1..36 of a header key (compared in upper case, not
  // trimmed), or 0.
  static int KeywordIndex(std::string_view key);

  std::string_view LineText(std::size_t index) const;
  char DecimalSeparator() const { return DecimalSeparator_; }

  // Parse one line of the header or QSO section of the read under way.
  void ParseHeaderLine(std::string_view text, int32_t lineIndex);
  void ParseQSOLine(std::string_view text, int32_t lineIndex);

  std::vector<TQSORecord> QSOs;
  uint8_t Status = 0;
  bool ReadFinished = false;
  std::array<bool, kKeywordCount + 1> KeywordSeen{};  // indexed 1..36
  std::string FileName;

  // Header values, named after their keywords, in keyword order.
  std::string TName;       // TNAME, max 80
  std::string TDateStart;  // TDATE part 0, eight digits
  std::string TDateEnd;    // TDATE part 1
  std::string PCall;       // PCALL, call sign, max 12
  std::string PWWLo;       // PWWLO, upper case, max 8
  std::string PExch;       // max 6
  std::string PAdr1;       // max 80
  std::string PAdr2;       // max 80
  std::string PSect;       // max 80
  std::string PBand;       // max 7
  std::string PClub;       // club word, max 6
  std::string RName;       // max 30
  std::string RCall;       // call sign, max 6
  std::string RAdr1;       // max 80
  std::string RAdr2;       // max 80
  std::string RPoCo;       // max 10
  std::string RCity;       // max 20
  std::string RCoun;       // max 40
  std::string RPhon;       // max 30
  std::string RHBBS;       // max 40
  std::string MOpe1;       // max 70
  std::string MOpe2;       // max 70
  std::string STXEq;       // max 80
  std::string SPowe;       // max 8
  std::string SRXEq;       // max 80
  std::string SAnte;       // max 80
  int32_t SAntHGround = 0;
  int32_t SAntHSea = 0;
  int32_t CQSOsCount = 0;
  int32_t CQSOsBandMult = 0;
  int32_t CQSOP = 0;
  int32_t CWWLsCount = 0;
  int32_t CWWLsBonus = 0;
  int32_t CWWLsMult = 0;
  int32_t CWWLB = 0;
  int32_t CExcsCount = 0;
  int32_t CExcsBonus = 0;
  int32_t CExcsMult = 0;
  int32_t CExcB = 0;
  int32_t CDXCsCount = 0;
  int32_t CDXCsBonus = 0;
  int32_t CDXCsMult = 0;
  int32_t CDXCB = 0;
  int32_t CToSc = 0;
  std::string CODXCCall;     // max 12, as written
  std::string CODXCLocator;  // max 8
  float CODXCDistance = 0.0f;

  std::vector<std::string> Remarks;
  int32_t QSOCount = 0;  // declared count while reading; records after a complete read
  std::vector<TEdiLine> Lines;
  std::vector<TDiagnostic> Diagnostics;  // position 0 is an empty placeholder

 private:
  void BeginRead();
  // Starts a read and runs read, turning whatever it throws into a failed read.
  void ReadGuarded(const std::function<void()>& read);
  void Read(std::string bytes, const std::string& fileName);
  void ReadLines();
  void ReadLinesUtf16(std::string_view bytes);
  void AppendLine(std::size_t offset, std::size_t length);
  void WalkSections();
  void SplitTag(std::size_t index, std::string_view tag);
  void Fail();
  void RaiseStatus(uint8_t level);
  void StoreValue(const TValuePart& part, std::string_view value, int32_t lineIndex);
  int32_t RepeatLimitedInteger(std::string_view text, int& counter, int32_t lineIndex);

  char DecimalSeparator_;
  std::string Text_;     // the bytes of all Lines
  std::string Scratch_;  // the QSO line being split
  // Failed conversions of QSO fields 4, 6, 8 and 11 in this read.
  int ModeFailures_ = 0;
  int SentNrFailures_ = 0;
  int RcvdNrFailures_ = 0;
  int PointsFailures_ = 0;
};

}  // namespace loggrevy
