#include "edi/keywords.h"

namespace loggrevy {
namespace {

using C = TConversion;
using R = TReg1Test;

constexpr TKeyword Whole(std::string_view keyword, TValuePart part) { return {keyword, false, 1, {part, part, part}}; }
constexpr TKeyword Parts2(std::string_view keyword, TValuePart a, TValuePart b) {
  return {keyword, true, 2, {a, b, b}};
}
constexpr TKeyword Parts3(std::string_view keyword, TValuePart a, TValuePart b, TValuePart c) {
  return {keyword, true, 3, {a, b, c}};
}
TValuePart Text(std::string_view name, std::string R::*field, std::size_t max, C conversion = C::Text) {
  return {name, conversion, max, field};
}
TValuePart Int(std::string_view name, int32_t R::*field) { return {name, C::Integer, 0, field}; }

std::array<TKeyword, kKeywordCount> MakeKeywords() {
  return {{
      Whole("TNAME", Text("TName", &R::TName, 80)),
      Parts2("TDATE", Text("TDateStart", &R::TDateStart, 8, C::Date), Text("TDateEnd", &R::TDateEnd, 8, C::Date)),
      Whole("PCALL", Text("PCall", &R::PCall, 12, C::CallSign)),
      Whole("PWWLO", Text("PWWLo", &R::PWWLo, 8, C::Upper)),
      Whole("PEXCH", Text("PExch", &R::PExch, 6)),
      Whole("PADR1", Text("PAdr1", &R::PAdr1, 80)),
      Whole("PADR2", Text("PAdr2", &R::PAdr2, 80)),
      Whole("PSECT", Text("PSect", &R::PSect, 80)),
      Whole("PBAND", Text("PBand", &R::PBand, 7)),
      Whole("PCLUB", Text("PClub", &R::PClub, 6, C::ClubWord)),
      Whole("RNAME", Text("RName", &R::RName, 30)),
      Whole("RCALL", Text("RCall", &R::RCall, 6, C::CallSign)),
      Whole("RADR1", Text("RAdr1", &R::RAdr1, 80)),
      Whole("RADR2", Text("RAdr2", &R::RAdr2, 80)),
      Whole("RPOCO", Text("RPoCo", &R::RPoCo, 10)),
      Whole("RCITY", Text("RCity", &R::RCity, 20)),
      Whole("RCOUN", Text("RCoun", &R::RCoun, 40)),
      Whole("RPHON", Text("RPhon", &R::RPhon, 30)),
      Whole("RHBBS", Text("RHBBS", &R::RHBBS, 40)),
      Whole("MOPE1", Text("MOpe1", &R::MOpe1, 70)),
      Whole("MOPE2", Text("MOpe2", &R::MOpe2, 70)),
      Whole("STXEQ", Text("STXEq", &R::STXEq, 80)),
      Whole("SPOWE", Text("SPowe", &R::SPowe, 8)),
      Whole("SRXEQ", Text("SRXEq", &R::SRXEq, 80)),
      Whole("SANTE", Text("SAnte", &R::SAnte, 80)),
      Parts2("SANTH", Int("SAntHGround", &R::SAntHGround), Int("SAntHSea", &R::SAntHSea)),
      Parts2("CQSOS", Int("CQSOsCount", &R::CQSOsCount), Int("CQSOsBandMult", &R::CQSOsBandMult)),
      Whole("CQSOP", Int("CQSOP", &R::CQSOP)),
      Parts3("CWWLS", Int("CWWLsCount", &R::CWWLsCount), Int("CWWLsBonus", &R::CWWLsBonus),
             Int("CWWLsMult", &R::CWWLsMult)),
      Whole("CWWLB", Int("CWWLB", &R::CWWLB)),
      Parts3("CEXCS", Int("CExcsCount", &R::CExcsCount), Int("CExcsBonus", &R::CExcsBonus),
             Int("CExcsMult", &R::CExcsMult)),
      Whole("CEXCB", Int("CExcB", &R::CExcB)),
      Parts3("CDXCS", Int("CDXCsCount", &R::CDXCsCount), Int("CDXCsBonus", &R::CDXCsBonus),
             Int("CDXCsMult", &R::CDXCsMult)),
      Whole("CDXCB", Int("CDXCB", &R::CDXCB)),
      Whole("CTOSC", Int("CToSc", &R::CToSc)),
      Parts3("CODXC", Text("CODXCCall", &R::CODXCCall, 12), Text("CODXCLocator", &R::CODXCLocator, 8),
             TValuePart{"CODXCDistance", C::Decimal, 0, &R::CODXCDistance}),
  }};
}

}  // namespace

const std::array<TKeyword, kKeywordCount>& KeywordTable() {
  static const std::array<TKeyword, kKeywordCount> keywords = MakeKeywords();
  return keywords;
}

}  // namespace loggrevy
