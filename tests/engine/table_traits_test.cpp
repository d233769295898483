// What travels with a table besides its records: the code page its .cpg or
// its language-driver byte names, its companion files in any letter case,
// the memo version byte a repair keeps, and the records marked deleted.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"
#include "CodePage.h"
#include "FileError.h"
#include "TableCodePage.h"
#include "TableCompanions.h"
#include "TableDiagnosis.h"

namespace drelin::testing {
namespace {

TEST(TableCodePage, CpgContentIsReadAsANumberANameOrNothing) {
  struct Case {
    std::string content;
    const char* name;  // null: names no code page
    int number;
  };
  const Case cases[] = {
      {"UTF-8", "UTF-8", 65001},
      {" utf8\r\n", "UTF-8", 65001},
      {"\xEF\xBB\xBFUTF-8", "UTF-8", 65001},  // a byte order mark first
      {"65001", "UTF-8", 65001},
      {"1251", "WINDOWS-1251", 1251},
      {"cp1251", "WINDOWS-1251", 1251},
      {"CP 866\n", "CP866", 866},
      {"ANSI 1252", "WINDOWS-1252", 1252},
      {"ansi1250", "WINDOWS-1250", 1250},
      {"437", "CP437", 437},
      {"10007", "MAC-CYRILLIC", 10007},
      {"koi8-r", "KOI8-R", 20866},
      {"ISO-8859-5", "ISO-8859-5", 28595},
      {"\tcp1125  ", "CP1125", 1125},  // a number only the converters know
      {"", nullptr, 0},
      {" \r\n", nullptr, 0},
      {"LATIN-ROMANIAN", nullptr, 0},
      {"UTF-16", nullptr, 0},  // known, but cannot decode a table
      {"99999", nullptr, 0},
      {"1234567", nullptr, 0},
      {"CP", nullptr, 0},
      {"ANSI", nullptr, 0},
      {"0", nullptr, 0},
      {"UTF-8 please", nullptr, 0},
      {"../1252", nullptr, 0},
  };
  for (const Case& c : cases) {
    const auto page = ParseCpg(c.content);
    ASSERT_EQ(page.has_value(), c.name != nullptr) << c.content;
    if (!page) continue;
    EXPECT_EQ(page->name, c.name) << c.content;
    EXPECT_EQ(page->number, c.number) << c.content;
  }
  EXPECT_EQ((CodePageName{"CP866", 866}).CpgText(), "866");
  EXPECT_EQ((CodePageName{"UTF-8", 65001}).CpgText(), "UTF-8");
  EXPECT_EQ((CodePageName{"ARMSCII-8", 0}).CpgText(), "ARMSCII-8");
}

TEST(TableCodePage, LanguageDriverIdsNameTheirCodePages) {
  const std::pair<uint8_t, int> known[] = {
      {0x01, 437},   {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x13, 932},   {0x4D, 936},
      {0x4E, 949},   {0x4F, 950},   {0x57, 1252},  {0x58, 1252},  {0x59, 1252},  {0x64, 852},
      {0x65, 866},   {0x66, 865},   {0x67, 861},   {0x6A, 737},   {0x6B, 857},   {0x78, 950},
      {0x79, 949},   {0x7A, 936},   {0x7B, 932},   {0x7C, 874},   {0x7D, 1255},  {0x7E, 1256},
      {0x96, 10007}, {0x97, 10029}, {0x98, 10006}, {0xC8, 1250},  {0xC9, 1251},  {0xCA, 1254},
      {0xCB, 1253},
  };
  for (const auto& [id, number] : known) {
    const auto page = LanguageDriverCodePage(id);
    ASSERT_TRUE(page) << Hex(id);
    EXPECT_EQ(page->number, number) << Hex(id);
    EXPECT_NO_THROW(CodePage{page->name}) << page->name;
  }
  for (const uint8_t unknown : {0x00, 0x68, 0x69, 0x05, 0xFF}) {
    EXPECT_FALSE(LanguageDriverCodePage(unknown)) << Hex(unknown);
  }
}

class TableTraits : public ::testing::Test {
 protected:
  std::string Table(const std::string& name, uint8_t driver, uint8_t version = 0x03,
                    char memoType = 'C') {
    DbfBuilder table;
    table.Version(version).LanguageDriver(driver).Field("NAME", 'C', 8).Field("NOTE", memoType, 10);
    table.Record({"a", "1"}).Record({"b", ""}, true).Record({"c", "2"});
    WriteFile(dir_ / name, table.Build());
    return dir_ / name;
  }
  void Write(const std::string& name, const std::string& text) {
    WriteFile(dir_ / name, Bytes(text.begin(), text.end()));
  }
  TempDir dir_;
};

// The .cpg wins over the language-driver byte, which wins over the default;
// what cannot be used is passed over with its reason kept.
TEST_F(TableTraits, TheCodePageComesFromTheCpgThenTheLanguageByteThenTheDefault) {
  using Source = TableCodePage::Source;
  struct Case {
    uint8_t driver;
    const char* cpgName;  // null: none
    std::string cpg;
    const char* page;
    Source source;
    bool known;        // a repaired copy is given a .cpg
    bool cpgProblem;
  };
  const Case cases[] = {
      {0x65, nullptr, "", "CP866", Source::kLanguageDriver, true, false},
      {0x57, nullptr, "", "WINDOWS-1252", Source::kLanguageDriver, false, false},
      {0x00, nullptr, "", "WINDOWS-1252", Source::kDefault, false, false},
      {0x68, nullptr, "", "WINDOWS-1252", Source::kDefault, false, false},
      {0x65, "t.cpg", "1251", "WINDOWS-1251", Source::kCpg, true, false},
      {0x57, "T.CPG", "utf-8\n", "UTF-8", Source::kCpg, true, false},
      {0x00, "t.CPG", "ANSI 1253", "WINDOWS-1253", Source::kCpg, true, false},
      {0x65, "t.cpg", "no such page", "CP866", Source::kLanguageDriver, true, true},
      {0x00, "t.cpg", std::string(300, '1'), "WINDOWS-1252", Source::kDefault, false, true},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_.path());
    std::filesystem::create_directory(dir_.path());
    const std::string table = Table("t.dbf", c.driver);
    if (c.cpgName) Write(c.cpgName, c.cpg);
    const TableCodePage page = ReadTableCodePage(SystemFileIo(), table);
    const std::string trace = Hex(c.driver) + " " + c.cpg.substr(0, 20);
    EXPECT_EQ(page.page.name, c.page) << trace;
    EXPECT_EQ(page.source, c.source) << trace;
    EXPECT_EQ(page.known(), c.known) << trace;
    EXPECT_EQ(page.assumed, c.driver == 0x57 && c.source == Source::kLanguageDriver) << trace;
    EXPECT_EQ(!page.cpgProblem.empty(), c.cpgProblem) << trace << page.cpgProblem;
  }
  // A .cpg that is no regular file is ignored with its reason.
  std::filesystem::remove_all(dir_.path());
  std::filesystem::create_directory(dir_.path());
  ASSERT_EQ(mkfifo((dir_ / "t.cpg").c_str(), 0600), 0);
  const TableCodePage page = ReadTableCodePage(SystemFileIo(), Table("t.dbf", 0xC9));
  EXPECT_EQ(page.page.name, "WINDOWS-1251");
  EXPECT_NE(page.cpgProblem.find("not a regular file"), std::string::npos) << page.cpgProblem;
  EXPECT_THROW(ReadTableCodePage(SystemFileIo(), dir_ / "missing.dbf"), FileError);
}

TEST_F(TableTraits, CompanionsAreFoundInAnyLetterCase) {
  EXPECT_EQ(CompanionPath("/d/orders.dbf", "cpg"), "/d/orders.cpg");
  EXPECT_EQ(CompanionPath("/d/a.b.DBF", "dbt"), "/d/a.b.dbt");
  EXPECT_EQ(CompanionPath("orders", "dbt"), "orders.dbt");
  EXPECT_EQ(CompanionPath("/d/.dbf", "cpg"), "/d/.dbf.cpg");

  const std::string table = Table("Orders.DBF", 0x03);
  EXPECT_FALSE(FindCompanion(SystemFileIo(), table, "dbt"));
  std::filesystem::create_directory(dir_ / "Orders.dbt");  // a folder is none
  EXPECT_FALSE(FindCompanion(SystemFileIo(), table, "dbt"));
  Write("ORDERS.dbt", "memo");
  EXPECT_EQ(FindCompanion(SystemFileIo(), table, "dbt"), dir_ / "ORDERS.dbt");
  Write("Orders.DBT", "memo");  // the table's own spelling comes first
  EXPECT_EQ(FindCompanion(SystemFileIo(), table, "dbt"), dir_ / "Orders.DBT");
  // A table is never its own companion.
  EXPECT_FALSE(FindCompanion(SystemFileIo(), Table("x.cpg", 0x03), "cpg"));

  // Through a listing kept: names told with Add are seen, an entry gone
  // since the listing is not.
  FolderNames names;
  const std::string other = Table("other.dbf", 0x03);
  EXPECT_FALSE(FindCompanion(SystemFileIo(), other, "cpg", &names));
  Write("Other.Cpg", "866");
  EXPECT_FALSE(FindCompanion(SystemFileIo(), other, "cpg", &names));
  names.Add(dir_ / "Other.Cpg");
  EXPECT_EQ(FindCompanion(SystemFileIo(), other, "cpg", &names), dir_ / "Other.Cpg");
  std::filesystem::remove(dir_ / "ORDERS.dbt");
  std::filesystem::remove(dir_ / "Orders.DBT");
  EXPECT_FALSE(FindCompanion(SystemFileIo(), table, "dbt", &names));
}

// A memo version byte stays only where a field of the memo file does; for
// both repairs, as the reference model says.
TEST_F(TableTraits, RepairKeepsTheMemoVersionOnlyWithAMemoField) {
  struct Case {
    uint8_t version;
    char type;
    uint8_t written;
  };
  const Case cases[] = {
      {0x83, 'M', 0x83}, {0x8B, 'M', 0x8B}, {0xF5, 'M', 0xF5}, {0xF5, 'G', 0xF5},
      {0xF5, 'P', 0xF5}, {0x83, 'G', 0x03}, {0x8B, 'P', 0x03}, {0x83, 'C', 0x03},
      {0x03, 'M', 0x03}, {0x30, 'M', 0x03}, {0x8C, 'M', 0x03},
  };
  for (const Case& c : cases) {
    const Bytes source = ReadFile(Table("m.dbf", 0x03, c.version, c.type));
    for (const int mode : {kRepairNormal, kRepairAdvance}) {
      const Bytes repaired = RepairBytes(source, mode);
      EXPECT_EQ(repaired[0], c.written) << Hex(c.version) << " " << c.type << " mode " << mode;
      EXPECT_EQ(repaired, *ReferenceRepair(source, mode)) << Hex(c.version) << " " << c.type;
    }
    EXPECT_EQ(HasMemoFields(SystemFileIo(), dir_ / "m.dbf"),
              c.type == 'M' || ((c.version == 0xF5 || c.version == 0x30) && c.type != 'C'))
        << Hex(c.version) << " " << c.type;
  }
}

// Inspect's facts: deleted records by their flags, memo fields and file,
// the code page and what was ignored.
TEST_F(TableTraits, DiagnosisCountsDeletedRecordsAndFindsTheMemoFile) {
  DbfBuilder builder;
  builder.Version(0x83).LanguageDriver(0x65).Field("NAME", 'C', 4).Field("TEXT", 'M', 10);
  builder.Record({"a"}, true).Record({"b"}).Record({"c"}, true).Record({"d"});
  Bytes bytes = builder.Build();
  bytes[builder.headerLength() + 3 * builder.recordLength()] = 'X';  // any flag but 0x20 deletes
  WriteFile(dir_ / "m.dbf", bytes);
  Write("m.cpg", "what page?");
  TableDiagnosis d = DiagnoseTable(SystemFileIo(), dir_ / "m.dbf");
  EXPECT_EQ(d.deletedRecords, 3u);
  EXPECT_TRUE(d.firstRecordDeleted);
  ASSERT_EQ(d.memoFields.size(), 1u);
  EXPECT_EQ(d.memoFields[0].name, "TEXT");
  EXPECT_FALSE(d.memoFile);
  EXPECT_EQ(d.repair->version, 0x83);
  EXPECT_EQ(d.codePage.page.name, "CP866");
  const std::string notes = ::testing::PrintToString(d.notes);
  EXPECT_NE(notes.find("m.cpg (\\\"what page?\\\") names no code page known here; it was ignored"),
            std::string::npos) << notes;
  EXPECT_NE(notes.find("no memo file m.dbt beside the table"), std::string::npos) << notes;

  Write("M.DBT", "memo");
  d = DiagnoseTable(SystemFileIo(), dir_ / "m.dbf");
  EXPECT_EQ(d.memoFile, dir_ / "M.DBT");
  EXPECT_EQ(::testing::PrintToString(d.notes).find("no memo file"), std::string::npos);
  // Without fields each record is its flag alone.
  Bytes fieldless(32, 0);
  fieldless[8] = 33;
  for (const uint8_t flag : {0x0D, 0x20, 0x2A, 0x2A, 0x20, 0x1A}) fieldless.push_back(flag);
  WriteFile(dir_ / "f.dbf", fieldless);
  EXPECT_EQ(DiagnoseTable(SystemFileIo(), dir_ / "f.dbf").deletedRecords, 2u);
}

}  // namespace
}  // namespace drelin::testing
