#include "core/cp1252.h"
#include "core/text.h"
#include "results/standings.h"

namespace loggrevy {
namespace {

// A text of the program as a JSON string, escaped as the batch checker's JSON
// writer escapes (the short forms, \u00xx with lower-case hex).
void AppendString(std::string& json, std::string_view cp1252) {
  json += '"';
  for (const char c : Cp1252ToUtf8(cp1252)) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': json += "\\\""; break;
      case '\\': json += "\\\\"; break;
      case '\b': json += "\\b"; break;
      case '\f': json += "\\f"; break;
      case '\n': json += "\\n"; break;
      case '\r': json += "\\r"; break;
      case '\t': json += "\\t"; break;
      default:
        if (byte < 0x20) {
          static constexpr char kHex[] = "0123456789abcdef";
          json += "\\u00";
          json += kHex[byte >> 4];
          json += kHex[byte & 15];
        } else {
          json += c;
        }
    }
  }
  json += '"';
}

void AppendKey(std::string& json, std::string_view key) {
  json += '"';
  json += key;
  json += "\":";
}

void AppendPoints(std::string& json, const std::vector<std::optional<int64_t>>& points) {
  json += '[';
  for (std::size_t c = 0; c < points.size(); ++c) {
    if (c > 0) json += ',';
    if (points[c]) {
      AppendNumber(json, *points[c]);
    } else {
      json += "null";
    }
  }
  json += ']';
}

}  // namespace

std::string StandingsJson(const std::vector<TSeriesStandings>& standings) {
  std::string json = "[";
  for (std::size_t s = 0; s < standings.size(); ++s) {
    const TSeriesStandings& series = standings[s];
    if (s > 0) json += ',';
    json += '{';
    AppendKey(json, "year");
    AppendString(json, series.Year);
    json += ',';
    AppendKey(json, "kind");
    AppendString(json, series.Kind);
    json += ',';
    AppendKey(json, "best");
    AppendNumber(json, series.Best);
    json += ',';
    AppendKey(json, "normalised");
    json += series.Normalised ? "true" : "false";
    json += ',';
    AppendKey(json, "contests");
    json += '[';
    for (std::size_t c = 0; c < series.Contests.size(); ++c) {
      if (c > 0) json += ',';
      AppendString(json, series.Contests[c]);
    }
    json += "],";
    AppendKey(json, "rows");
    json += '[';
    for (std::size_t r = 0; r < series.Rows.size(); ++r) {
      const TStandingsRow& row = series.Rows[r];
      if (r > 0) json += ',';
      json += '{';
      AppendKey(json, "Place");
      AppendNumber(json, row.Place);
      json += ',';
      AppendKey(json, "Station");
      AppendString(json, row.Station);
      json += ',';
      AppendKey(json, "Call");
      AppendString(json, row.Call);
      json += ',';
      AppendKey(json, "Club");
      AppendString(json, row.Club);
      json += ',';
      AppendKey(json, "Contests");
      AppendNumber(json, row.Contests);
      json += ',';
      AppendKey(json, "Total");
      AppendNumber(json, row.Total);
      json += ',';
      AppendKey(json, "Points");
      AppendPoints(json, row.Points);
      json += ',';
      AppendKey(json, "Counted");
      json += '[';
      for (std::size_t c = 0; c < row.Counted.size(); ++c) {
        if (c > 0) json += ',';
        json += row.Counted[c] ? "true" : "false";
      }
      json += "]}";
    }
    json += "],";
    AppendKey(json, "clubs");
    json += '[';
    for (std::size_t r = 0; r < series.Clubs.size(); ++r) {
      const TClubRow& row = series.Clubs[r];
      if (r > 0) json += ',';
      json += '{';
      AppendKey(json, "Place");
      AppendNumber(json, row.Place);
      json += ',';
      AppendKey(json, "Club");
      AppendString(json, row.Club);
      json += ',';
      AppendKey(json, "Members");
      AppendNumber(json, row.Members);
      json += ',';
      AppendKey(json, "Total");
      AppendNumber(json, row.Total);
      json += ',';
      AppendKey(json, "Points");
      AppendPoints(json, row.Points);
      json += '}';
    }
    json += "]}";
  }
  json += ']';
  return json;
}

}  // namespace loggrevy
