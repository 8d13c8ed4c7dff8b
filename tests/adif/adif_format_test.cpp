// SPDX-License-Identifier: GPL-3.0-or-later
// ADIF files as loggers write them and as they arrive half written or broken: which records
// the parse takes, how far it got, and the file's form and encoding.
#include "adif/adif_format.h"

#include <gtest/gtest.h>

#include "adif/adif_fields.h"

namespace zeltaro::adif {
namespace {

using namespace std::string_literals;

struct ParseCase {
  const char* name;
  std::string bytes;
  std::vector<RawRecord> records;
  std::size_t consumed;
};

RawRecord rec(std::string call, std::string freq, std::string mode, std::string submode = "",
              std::string code = "", std::string comment = "", std::string band = "") {
  RawRecord r;
  r.call = std::move(call);
  r.freq = std::move(freq);
  r.mode = std::move(mode);
  r.submode = std::move(submode);
  r.code = std::move(code);
  r.comment = std::move(comment);
  r.band = std::move(band);
  return r;
}

TEST(AdiParse, RecordsAndWhereTheParseStopped) {
  // "東京" is 6 bytes in UTF-8: lengths count bytes.
  const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
  const ParseCase cases[] = {
      {"two records, any case, types and line breaks",
       "<call:6>JA1ABC <FREQ:5:N>7.074<Mode:3>FT8 <eor>\r\n"
       "<CALL:5>K1ABC<BAND:3>20m<MODE:4>MFSK<SUBMODE:3>FT4<CNTY:4>1001<EOR>\r\n",
       {rec("JA1ABC", "7.074", "FT8"), rec("K1ABC", "", "MFSK", "FT4", "1001", "", "20m")},
       116},
      {"a value holding '<' and bytes of UTF-8",
       "<CALL:4>JA1A<COMMENT:8>a<b>" + tokyo.substr(0, 1) + "xyz" + "<EOR>",
       {rec("JA1A", "", "", "", "", "a<b>\xE6xyz")},
       36},
      {"a Japanese comment counted in bytes",
       "<CALL:4>JA1A<COMMENT:6>" + tokyo + "<EOR>",
       {rec("JA1A", "", "", "", "", tokyo)},
       34},
      {"the last record still being written",
       "<CALL:4>JA1A<EOR><CALL:4>JA2B<MODE:2>CW",
       {rec("JA1A", "", "")},
       17},
      {"a value cut short by the end of the file",
       "<CALL:4>JA1A<EOR><CALL:6>JA2",
       {rec("JA1A", "", "")},
       17},
      {"a tag cut short", "<CALL:4>JA1A<EOR><CAL", {rec("JA1A", "", "")}, 17},
      {"a length beyond the file", "<CALL:4000>JA1A<EOR>", {}, 0},
      {"a huge length is junk, the record goes on",
       "<CALL:99999999999999999999>x<CALL:4>JA1A<EOR>",
       {rec("JA1A", "", "")},
       45},
      {"a negative length is junk", "<CALL:-4>JA1A<CALL:4>JA2B<EOR>", {rec("JA2B", "", "")}, 30},
      {"junk between tags and an unknown bare tag",
       "\x01\xFF<<>< CALL:4>xx<APP_X>\x00<CALL:4>JA1A<EOR>"s,
       {rec("JA1A", "", "")},
       41},
      {"a stray header mark drops what came before it",
       "<CALL:4>JA1A<EOH><CALL:4>JA2B<EOR>",
       {rec("JA2B", "", "")},
       34},
      {"no records", "", {}, 0},
  };
  for (const ParseCase& c : cases) {
    const Parsed p = parse(c.bytes, 0, Form::Adi, "CNTY");
    EXPECT_EQ(p.records, c.records) << c.name;
    EXPECT_EQ(p.consumed, c.consumed) << c.name;
  }
}

TEST(AdxParse, RecordsEscapesAndTheirOwnFields) {
  const std::string adx =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER>"
      "</HEADER><RECORDS>\n"
      "<RECORD><CALL>JA1ABC</CALL><FREQ>14.074</FREQ><MODE>FT8</MODE>"
      "<COMMENT>a &lt;b&gt; &amp; &#x6771;&#20140;</COMMENT>"
      "<APP PROGRAMID=\"X\" FIELDNAME=\"CALL\" TYPE=\"S\">NOTME</APP><CNTY/></RECORD>\n"
      "<record><call><![CDATA[K1<ABC>]]></call><band>40m</band></record>\n"
      "<RECORD><CALL>JA2";
  const FileShape shape = shapeOf(adx).value();
  EXPECT_EQ(shape.form, Form::Adx);
  const Parsed p = parse(adx, shape.bodyStart, Form::Adx, "CNTY");
  const std::vector<RawRecord> want = {
      rec("JA1ABC", "14.074", "FT8", "", "", "a <b> & \xE6\x9D\xB1\xE4\xBA\xAC"),
      rec("K1<ABC>", "", "", "", "", "", "40m")};
  EXPECT_EQ(p.records, want);
  EXPECT_EQ(adx.substr(p.consumed), "\n<RECORD><CALL>JA2");
}

TEST(FileShape, FormEncodingAndBody) {
  struct Case {
    const char* name;
    std::string head;
    std::optional<FileShape> shape;
  };
  const std::string sjisComment = "<COMMENT:4>\x93\x8C\x8B\x9E<EOR>";  // "東京" in Shift-JIS
  const Case cases[] = {
      {"no header, ASCII", "<CALL:4>JA1A<EOR>", FileShape{Form::Adi, Encoding::Utf8, 0}},
      {"header", "made by hand\n<EOH>\n<CALL:4>JA1A", FileShape{Form::Adi, Encoding::Utf8, 18}},
      {"header not ended yet", "made by hand\n<PROGRAMID:3>abc", std::nullopt},
      {"UTF-8 mark", "\xEF\xBB\xBF<CALL:4>JA1A" + sjisComment,
       FileShape{Form::Adi, Encoding::Utf8, 3}},
      {"a Japanese logger's header", "x <PROGRAMID:12>Turbo HAMLOG <EOH>",
       FileShape{Form::Adi, Encoding::ShiftJis, 34}},
      {"a file that begins with a tag has no header", "<ENCODING:9>Shift_JIS ... <EOH>",
       FileShape{Form::Adi, Encoding::Utf8, 0}},
      {"a header that names its encoding", "adif\n<ENCODING:9>Shift_JIS<EOH>",
       FileShape{Form::Adi, Encoding::ShiftJis, 31}},
      {"bytes that are no UTF-8", "<CALL:4>JA1A" + sjisComment,
       FileShape{Form::Adi, Encoding::ShiftJis, 0}},
      {"ADX in Shift-JIS", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><ADX>",
       FileShape{Form::Adx, Encoding::ShiftJis, 0}},
      {"ADX without declaration", "  <ADX><RECORDS>", FileShape{Form::Adx, Encoding::Utf8, 0}},
      {"nothing yet", "  \r\n", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<FileShape> got = shapeOf(c.head);
    ASSERT_EQ(got.has_value(), c.shape.has_value()) << c.name;
    if (!got) continue;
    EXPECT_EQ(got->form, c.shape->form) << c.name;
    EXPECT_EQ(got->encoding, c.shape->encoding) << c.name;
    EXPECT_EQ(got->bodyStart, c.shape->bodyStart) << c.name;
  }
}

TEST(AdifFields, ModesAsTheOperatorSeesThemAndBands) {
  const std::tuple<const char*, const char*, const char*> modes[] = {
      {"FT8", "", "FT8"},     {"MFSK", "FT4", "FT4"}, {"mfsk", "ft4", "FT4"},
      {"MFSK", "JS8", "JS8"}, {"MFSK", "", "MFSK"},   {"SSB", "USB", "SSB"},
      {"USB", "", "SSB"},     {"LSB", "", "SSB"},     {"PSK", "PSK31", "PSK"},
      {"CW", "", "CW"},       {"RTTY", "", "RTTY"},   {" cw ", "", "CW"},
      {"", "", ""},
  };
  for (const auto& [mode, submode, shown] : modes)
    EXPECT_EQ(shownMode(mode, submode), shown) << mode << "/" << submode;
  EXPECT_EQ(bandFrequency("20m"), "14.000");
  EXPECT_EQ(bandFrequency("70CM"), "430.000");
  EXPECT_EQ(bandFrequency("2190m"), "0.136");
  EXPECT_EQ(bandFrequency("1mm"), "");
}

}  // namespace
}  // namespace zeltaro::adif
