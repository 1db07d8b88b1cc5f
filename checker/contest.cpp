#include "checker/contest.h"

#include "core/text.h"

namespace loggrevy {

std::string_view KindName(TContestKind kind) {
  switch (kind) {
    case TContestKind::VHF: return "VHF";
    case TContestKind::UHF: return "UHF";
    case TContestKind::SHF: return "SHF";
    case TContestKind::Mikro: return "Mikro";
    case TContestKind::SIX: return "SIX";
    case TContestKind::Kvartalstest: return "Kvartalstest";
    case TContestKind::M28: return "28M";
    case TContestKind::None: break;
  }
  return {};
}

const std::array<TBandRow, 13>& BandTable() {
  using K = TContestKind;
  static const std::array<TBandRow, 13> table{{
      {"28MHZ", 1, K::M28, 1, 500},
      {"50MHZ", 2, K::SIX, 1, 500},
      {"144MHZ", 1, K::VHF, 1, 500},
      {"432MHZ", 2, K::UHF, 1, 500},
      {"1,3GHZ", 3, K::SHF, 1, 500},
      {"2,3GHZ", 4, K::Mikro, 2, 500},
      {"5,7GHZ", 4, K::Mikro, 4, 500},
      {"10GHZ", 4, K::Mikro, 5, 500},
      {"24GHZ", 4, K::Mikro, 6, 500},
      {"47GHZ", 4, K::Mikro, 7, 500},
      {"76GHZ", 4, K::Mikro, 8, 500},
      {"144GHZ", 4, K::Mikro, 9, 500},
      {"248GHZ", 4, K::Mikro, 10, 500},
  }};
  return table;
}

std::string NormaliseBand(std::string_view band) {
  std::string result;
  result.reserve(band.size());
  for (char c : band) {
    if (c == ' ') continue;
    result += c == '.' ? ',' : UpperAscii(c);
  }
  return result;
}

}  // namespace loggrevy
