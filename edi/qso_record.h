#pragma once

#include <cstdint>

#include "edi/short_text.h"

namespace loggrevy {

// One QSO line of an EDI file: fifteen ";"-separated fields.
struct TQSORecord {
  uint8_t Status = 0;      // 0 readable; 3 the line has fewer than 15 fields
  TShortText<6> Date;      // field 1, YYMMDD as written
  TShortText<4> Time;      // field 2, HHMM UTC as written
  TShortText<14> Call;     // field 3, upper case
  int32_t Mode = 0;        // field 4
  TShortText<3> SentRST;   // field 5
  int32_t SentNr = 0;      // field 6
  TShortText<3> RcvdRST;   // field 7
  int32_t RcvdNr = 0;      // field 8
  TShortText<6> RcvdExch;  // field 9
  TShortText<8> RcvdWWL;   // field 10, upper case
  int32_t Points = 0;      // field 11, claimed points, never negative
  char NewExch = 0;        // field 12
  char NewWWL = 0;         // field 13
  char NewDXCC = 0;        // field 14
  char Dupe = 0;           // field 15; 'D' marks a duplicate
  bool Valid = false;      // the QSO counts; the checker may clear it
};

}  // namespace loggrevy
