// Reading a review file. The document is read as a whole with nlohmann's
// parser; a large one is first cut into its logs, which are then read on
// several threads, each straight into its TReviewLog. Whenever the cut or a
// log does not come out exactly as expected, the whole document is read
// again the plain way, so what comes out never depends on the way taken.
#include <array>
#include <atomic>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>

#include "model/ordered_work.h"
#include "model/review_file.h"

namespace loggrevy {
namespace {

using json = nlohmann::ordered_json;

// Below this many logs the document is read in one piece.
constexpr std::size_t kCutFromLogs = 64;

TReviewLog LogFromJson(const json& entry) {
  TReviewLog log;
  log.Path = entry.at("path").get<std::string>();
  log.Sha256 = entry.at("sha256").get<std::string>();
  if (entry.contains("stamp")) {
    const json& stamp = entry["stamp"];
    log.Stamp = TFileStamp{stamp.at("size").get<int64_t>(), stamp.at("modified_ns").get<int64_t>(),
                           stamp.at("changed_ns").get<int64_t>(), stamp.at("inode").get<uint64_t>()};
  }
  log.Year = entry.at("year").get<int32_t>();
  log.OwnSum = entry.at("own_sum").get<bool>();
  if (log.OwnSum) {
    log.DxScore = entry.at("dx_score").get<int64_t>();
    log.Squares = entry.at("squares").get<int32_t>();
  }
  for (const json& judgement : entry.at("judgements")) {
    log.Judgements.push_back({judgement.at("qso").get<int64_t>(), judgement.at("penalty").get<uint8_t>(),
                              judgement.at("line").get<std::string>()});
  }
  if (log.Path.empty()) throw std::invalid_argument("path");
  return log;
}

TReviewRead ParseWhole(std::string_view bytes) {
  TReviewRead read;
  const json doc = json::parse(bytes.begin(), bytes.end(), nullptr, false);
  if (doc.is_discarded()) {
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    read.Error =
        first != std::string_view::npos && bytes[first] == '{' ? TReviewError::Damaged : TReviewError::NotReview;
    return read;
  }
  if (!doc.is_object() || !doc.contains("type") || doc["type"] != kReviewType) {
    read.Error = TReviewError::NotReview;
    return read;
  }
  try {
    const int format = doc.at("format").get<int>();
    if (format > kReviewFormat) {
      read.Error = TReviewError::LaterFormat;
      return read;
    }
    if (format != kReviewFormat) throw std::invalid_argument("format");
    TReview& review = read.Review;
    const json& check = doc.at("crosscheck");
    review.CrossCheck.TimeToleranceMinutes = check.at("time_tolerance_minutes").get<int32_t>();
    review.CrossCheck.CompareSerials = check.at("compare_serials").get<bool>();
    if (review.CrossCheck.TimeToleranceMinutes < 0 || review.CrossCheck.TimeToleranceMinutes > 1440) {
      throw std::invalid_argument("tolerance");
    }
    if (doc.contains("recovery_of")) review.RecoveryOf = doc["recovery_of"].get<std::string>();
    for (const json& entry : doc.at("logs")) review.Logs.push_back(LogFromJson(entry));
  } catch (const std::exception&) {
    read.Error = TReviewError::Damaged;
    read.Review = {};
  }
  return read;
}

// The top-level "logs" array of a document, cut into its elements by
// following strings and brackets without checking anything else. Whether
// the pieces are JSON is for the parser to say: when the document without
// the array and every element parse, the whole document does too.
struct TLogsCut {
  std::size_t Begin = 0;  // of the array's "["
  std::size_t End = 0;    // after its "]"
  std::vector<std::string_view> Elements;
};

class TCutter {
 public:
  explicit TCutter(std::string_view text) : Text_(text) {}

  std::optional<TLogsCut> Cut() {
    std::optional<TLogsCut> cut;
    if (!Expect('{')) return std::nullopt;
    if (Skip() && Text_[At_] == '}') return std::nullopt;
    for (;;) {
      if (!Skip() || Text_[At_] != '"') return std::nullopt;
      const std::size_t keyBegin = At_;
      if (!SkipString()) return std::nullopt;
      const std::string_view key = Text_.substr(keyBegin + 1, At_ - keyBegin - 2);
      // An escaped key could spell "logs" as well.
      if (key.find('\\') != std::string_view::npos) return std::nullopt;
      if (!Expect(':') || !Skip()) return std::nullopt;
      if (key == "logs") {
        if (cut || Text_[At_] != '[') return std::nullopt;
        cut = CutArray();
        if (!cut) return std::nullopt;
      } else if (!SkipValue()) {
        return std::nullopt;
      }
      if (!Skip()) return std::nullopt;
      if (Text_[At_] == '}') return cut;
      if (Text_[At_] != ',') return std::nullopt;
      ++At_;
    }
  }

 private:
  // Moves past blanks; false at the end of the text.
  bool Skip() {
    while (At_ < Text_.size() && (Text_[At_] == ' ' || Text_[At_] == '\t' || Text_[At_] == '\n' || Text_[At_] == '\r')) {
      ++At_;
    }
    return At_ < Text_.size();
  }
  bool Expect(char c) {
    if (!Skip() || Text_[At_] != c) return false;
    ++At_;
    return true;
  }
  // At a '"': moves past the string. The closing quote is the first one not
  // escaped, that is with an even number of backslashes before it.
  bool SkipString() {
    for (std::size_t from = At_ + 1;;) {
      const std::size_t quote = Text_.find('"', from);
      if (quote == std::string_view::npos) return false;
      std::size_t backslashes = 0;
      while (Text_[quote - 1 - backslashes] == '\\') ++backslashes;
      from = quote + 1;
      if (backslashes % 2 == 0) {
        At_ = from;
        return true;
      }
    }
  }
  bool SkipValue() {
    const char first = Text_[At_];
    if (first == '"') return SkipString();
    if (first != '{' && first != '[') {
      while (At_ < Text_.size() && std::string_view(",]} \t\r\n").find(Text_[At_]) == std::string_view::npos) ++At_;
      return At_ < Text_.size();
    }
    static constexpr auto kStructural = [] {
      std::array<bool, 256> table{};
      for (const char c : std::string_view("\"{}[]")) table[static_cast<unsigned char>(c)] = true;
      return table;
    }();
    int depth = 0;
    while (At_ < Text_.size()) {
      const char c = Text_[At_];
      if (!kStructural[static_cast<unsigned char>(c)]) {
        ++At_;
        continue;
      }
      if (c == '"') {
        if (!SkipString()) return false;
        continue;
      }
      if (c == '{' || c == '[') ++depth;
      if ((c == '}' || c == ']') && --depth == 0) {
        ++At_;
        return true;
      }
      ++At_;
    }
    return false;
  }
  std::optional<TLogsCut> CutArray() {
    TLogsCut cut;
    cut.Begin = At_++;
    if (!Skip()) return std::nullopt;
    if (Text_[At_] != ']') {
      for (;;) {
        const std::size_t begin = At_;
        if (!SkipValue()) return std::nullopt;
        cut.Elements.push_back(Text_.substr(begin, At_ - begin));
        if (!Skip()) return std::nullopt;
        if (Text_[At_] == ']') break;
        if (Text_[At_] != ',' || (++At_, !Skip())) return std::nullopt;
      }
    }
    cut.End = ++At_;
    return cut;
  }

  std::string_view Text_;
  std::size_t At_ = 0;
};

// Reads one log object straight into a TReviewLog. It takes only the shape
// the program writes (every member once, numbers as whole numbers in range)
// and declines anything else, which LogFromJson then reads as the plain way
// does.
class TLogReader final : public nlohmann::json_sax<json> {
 public:
  explicit TLogReader(TReviewLog& log) : Log_(log) {}

  // Every member was read once; the sums only with an adopted own sum.
  bool Valid() const {
    constexpr unsigned kAlways = kPath | kSha | kYear | kOwnSum | kJudgements;
    return !Log_.Path.empty() && (Seen_ & ~kStamp) == (Log_.OwnSum ? kAlways | kDxScore | kSquares : kAlways);
  }

  bool null() override { return false; }
  bool boolean(bool value) override {
    if (Depth_ != 1 || Key_ != kOwnSum) return false;
    Log_.OwnSum = value;
    return Took();
  }
  bool number_integer(number_integer_t value) override { return Integer(value, value < 0); }
  bool number_unsigned(number_unsigned_t value) override {
    if (Depth_ == 4 && Key_ == kInode) {
      Log_.Stamp->Inode = value;
      return Took();
    }
    if (value > static_cast<number_unsigned_t>(std::numeric_limits<int64_t>::max())) return false;
    return Integer(static_cast<int64_t>(value), false);
  }
  bool number_float(number_float_t, const string_t&) override { return false; }
  bool string(string_t& value) override {
    if (Depth_ == 1 && Key_ == kPath) {
      Log_.Path = std::move(value);
    } else if (Depth_ == 1 && Key_ == kSha) {
      Log_.Sha256 = std::move(value);
    } else if (Depth_ == 3 && Key_ == kLine) {
      Log_.Judgements.back().Line = std::move(value);
    } else {
      return false;
    }
    return Took();
  }
  bool binary(binary_t&) override { return false; }
  bool start_object(std::size_t) override {
    if (Depth_ == 0) {
      Depth_ = 1;
      return true;
    }
    if (Depth_ == 1 && Key_ == kStamp) {
      Depth_ = 4;
      Log_.Stamp.emplace();
      StampSeen_ = 0;
      return true;
    }
    if (Depth_ != 2) return false;
    Depth_ = 3;
    Log_.Judgements.emplace_back();
    JudgementSeen_ = 0;
    return true;
  }
  bool key(string_t& name) override {
    static constexpr std::pair<std::string_view, unsigned> kLogKeys[] = {
        {"path", kPath},       {"sha256", kSha},     {"year", kYear},          {"own_sum", kOwnSum},
        {"dx_score", kDxScore}, {"squares", kSquares}, {"judgements", kJudgements}, {"stamp", kStamp}};
    static constexpr std::pair<std::string_view, unsigned> kJudgementKeys[] = {
        {"qso", kQso}, {"penalty", kPenalty}, {"line", kLine}};
    static constexpr std::pair<std::string_view, unsigned> kStampKeys[] = {
        {"size", kSize}, {"modified_ns", kModified}, {"changed_ns", kChanged}, {"inode", kInode}};
    Key_ = 0;
    if (Depth_ == 1) {
      for (const auto& [text, bit] : kLogKeys) {
        if (name == text) Key_ = bit;
      }
      return Key_ != 0 && (Seen_ & Key_) == 0;
    }
    if (Depth_ == 4) {
      for (const auto& [text, bit] : kStampKeys) {
        if (name == text) Key_ = bit;
      }
      return Key_ != 0 && (StampSeen_ & Key_) == 0;
    }
    for (const auto& [text, bit] : kJudgementKeys) {
      if (name == text) Key_ = bit;
    }
    return Key_ != 0 && (JudgementSeen_ & Key_) == 0;
  }
  bool end_object() override {
    if (Depth_ == 4) {
      if (StampSeen_ != (kSize | kModified | kChanged | kInode)) return false;
      Depth_ = 1;
      Key_ = kStamp;
      return Took();
    }
    if (Depth_ == 3) {
      if (JudgementSeen_ != (kQso | kPenalty | kLine)) return false;
      Depth_ = 2;
      Key_ = kJudgements;
      return true;
    }
    Depth_ = 0;
    return true;
  }
  bool start_array(std::size_t) override {
    if (Depth_ != 1 || Key_ != kJudgements) return false;
    Depth_ = 2;
    return true;
  }
  bool end_array() override {
    Depth_ = 1;
    return Took();
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  // The members of a log and of a judgement, as bits of what was seen.
  static constexpr unsigned kPath = 1, kSha = 2, kYear = 4, kOwnSum = 8, kDxScore = 16, kSquares = 32,
                            kJudgements = 64, kStamp = 128, kQso = 1, kPenalty = 2, kLine = 4, kSize = 1,
                            kModified = 2, kChanged = 4, kInode = 8;

  bool Integer(int64_t value, bool negative) {
    if (Depth_ == 1 && Key_ == kDxScore) {
      Log_.DxScore = value;
    } else if (Depth_ == 1 && (Key_ == kYear || Key_ == kSquares)) {
      if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return false;
      (Key_ == kYear ? Log_.Year : Log_.Squares) = static_cast<int32_t>(value);
    } else if (Depth_ == 4 && Key_ != kInode) {
      (Key_ == kSize ? Log_.Stamp->Size : Key_ == kModified ? Log_.Stamp->ModifiedNs : Log_.Stamp->ChangedNs) = value;
    } else if (Depth_ == 3 && Key_ == kQso) {
      Log_.Judgements.back().Qso = value;
    } else if (Depth_ == 3 && Key_ == kPenalty && !negative && value <= 255) {
      Log_.Judgements.back().Penalty = static_cast<uint8_t>(value);
    } else {
      return false;
    }
    return Took();
  }
  // Marks the member just read as seen.
  bool Took() {
    if (Depth_ == 4) {
      StampSeen_ |= Key_;
    } else if (Depth_ == 3) {
      JudgementSeen_ |= Key_;
    } else {
      Seen_ |= Key_;
    }
    return true;
  }

  TReviewLog& Log_;
  int Depth_ = 0;  // 1 in the log, 2 in its judgements, 3 in a judgement, 4 in its stamp
  unsigned Key_ = 0;
  unsigned Seen_ = 0;
  unsigned JudgementSeen_ = 0;
  unsigned StampSeen_ = 0;
};

bool ReadLog(std::string_view text, TReviewLog& log) {
  {
    TLogReader reader(log);
    if (json::sax_parse(text.begin(), text.end(), &reader) && reader.Valid()) return true;
  }
  const json entry = json::parse(text.begin(), text.end(), nullptr, false);
  if (entry.is_discarded()) return false;
  try {
    log = LogFromJson(entry);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TReviewRead ParseReview(std::string_view bytes, std::size_t jobs) {
  std::optional<TLogsCut> cut = jobs > 1 ? TCutter(bytes).Cut() : std::nullopt;
  if (cut && cut->Elements.size() >= kCutFromLogs) {
    std::string rest(bytes.substr(0, cut->Begin));
    rest += "[]";
    rest += bytes.substr(cut->End);
    TReviewRead read = ParseWhole(rest);
    if (read.Error == TReviewError::None) {
      std::vector<TReviewLog> logs(cut->Elements.size());
      std::atomic<bool> failed = false;
      RunSlices(logs.size(), jobs, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end && !failed; ++i) {
          if (!ReadLog(cut->Elements[i], logs[i])) failed = true;
        }
      });
      if (!failed) {
        read.Review.Logs = std::move(logs);
        return read;
      }
    }
  }
  return ParseWhole(bytes);
}

TReviewRead ReadReviewFile(const std::string& path, std::size_t jobs) {
  std::string reason;
  const auto bytes = ReadWholeFile(path, &reason);
  if (!bytes) {
    TReviewRead read;
    read.Error = TReviewError::Unreadable;
    read.Reason = reason;
    return read;
  }
  return ParseReview(*bytes, jobs);
}

}  // namespace loggrevy
