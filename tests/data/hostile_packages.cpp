#include "data/hostile_packages.h"

#include <cstdint>
#include <stdexcept>

#include "data/workbook_import.h"
#include "data/xlsx/xlsx_file.h"
#include "fuzz/data/parts_form.h"
#include "support/scratch_folder.h"

namespace kelmora::testing {
namespace {

using Kind = xlsx::XlsxError::Kind;

std::vector<HostilePackage> makeHostilePackages() {
  const std::string goodSheet = R"(<row><c t="s"><v>0</v></c></row><row><c><v>30</v></c></row>)";
  const std::string twoRows = "<row><c><v>1</v></c></row><row><c><v>2</v></c></row>";
  // The first sheet is read before the second one fails.
  auto twoSheets = [&](const std::string& second) {
    return workbookParts({.sheets = {goodSheet, second}, .sharedStrings = "<si><t>Tm</t></si>"});
  };
  const auto book = twoSheets(goodSheet);
  const ExcelData firstSheet = {{"Tm", "30"}};
  // An entry literally named like the climbing path is no part either.
  auto climbing = withPart(
      book, {"xl/_rels/workbook.xml.rels", relationships(relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
                                                         relationship("rId2", "worksheet", "../../../etc/passwd"))});
  auto climbingLiterally = climbing;
  climbing.push_back({"xl/../../../etc/passwd", "<worksheet/>"});
  // The target as the workbook writes it is no part either, though an entry
  // carries it and would give pairs.
  climbingLiterally.push_back({"../../../etc/passwd", "<worksheet><sheetData>" + twoRows + "</sheetData></worksheet>"});
  const Part styles{"xl/styles.xml", R"(<styleSheet><cellXfs><xf numFmtId="14"/></cellXfs></styleSheet>)", true};

  return {
      {"sheet2-not-well-formed", twoSheets(twoRows + "<row>"), firstSheet, Kind::notWellFormed,
       "xl/worksheets/sheet2.xml"},
      {"unknown-cell-type-in-sheet2", twoSheets(twoRows + R"(<row><c t="x"/></row>)"), firstSheet, Kind::badAttribute,
       "xl/worksheets/sheet2.xml"},
      {"fractional-style-index-in-sheet2", twoSheets(twoRows + R"(<row><c s="1.5"/></row>)"), firstSheet,
       Kind::badAttribute, "xl/worksheets/sheet2.xml"},
      {"non-numeric-format-id-in-styles",
       workbookParts({.sheets = {goodSheet}, .cellFormats = R"(<xf numFmtId="x"/>)"}),
       {},
       Kind::badAttribute,
       "xl/styles.xml"},
      {"non-boolean-date1904-in-workbook",
       workbookParts({.sheets = {goodSheet}, .workbookProperties = R"(date1904="ja")"}),
       {},
       Kind::badAttribute,
       "xl/workbook.xml"},
      {"relationship-without-target",
       withPart(book, {"xl/_rels/workbook.xml.rels",
                       relationships(relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
                                     R"(<Relationship Id="rId2" Type="worksheet"/>)")}),
       {},
       Kind::badRelationship,
       "xl/_rels/workbook.xml.rels"},
      {"sheet-target-outside-package", climbing, firstSheet, Kind::outsidePackage, "../../../etc/passwd"},
      {"sheet-entry-named-as-the-climbing-target", climbingLiterally, firstSheet, Kind::outsidePackage,
       "../../../etc/passwd"},
      {"workbook-target-outside-package",
       withPart(book, {"_rels/.rels", relationships(relationship("a", "officeDocument", "../book.xml"))}),
       {},
       Kind::outsidePackage,
       "_rels/.rels"},
      {"no-styles", withoutPart(book, "xl/styles.xml"), {}, Kind::missingPart, "xl/styles.xml"},
      // Entity expansion and an external entity, neither ever reached.
      {"dtd-in-shared-strings",
       withPart(book, {"xl/sharedStrings.xml",
                       R"(<!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;">)"
                       R"(<!ENTITY e SYSTEM "file:///etc/passwd">]><sst><si><t>&b;&e;</t></si></sst>)"}),
       {},
       Kind::documentType,
       "xl/sharedStrings.xml"},
      // A changed digit of a stored part still parses as XML; only the
      // checksum can tell.
      {"crc-mismatch-in-styles",
       {styles},
       {},
       Kind::crcMismatch,
       "xl/styles.xml",
       [](std::string& bytes) {
         const auto digit = bytes.find("14\"");
         if (digit == std::string::npos) throw std::logic_error("the stored digit is not in the package");
         bytes[digit] = '2';
       }},
      // The first entry's deflate stream opens with a block of the reserved type.
      {"corrupt-deflate-in-styles",
       {{styles.name, styles.content}},
       {},
       Kind::unreadablePart,
       "xl/styles.xml",
       [](std::string& bytes) {
         const auto le16 = [&](std::size_t at) {
           return static_cast<std::size_t>(static_cast<std::uint8_t>(bytes.at(at)) |
                                           static_cast<std::uint8_t>(bytes.at(at + 1)) << 8);
         };
         bytes.at(30 + le16(26) + le16(28)) = '\xff';
       }},
  };
}

}  // namespace

const std::vector<HostilePackage>& hostilePackages() {
  static const std::vector<HostilePackage> packages = makeHostilePackages();
  return packages;
}

void writeHostilePackage(const std::filesystem::path& file, const HostilePackage& package) {
  writePackage(file, package.parts);
  if (!package.damage) return;
  std::string bytes = readFile(file);
  package.damage(bytes);
  writeFile(file, bytes);
}

std::string seedBytes(const HostilePackage& package) {
  if (package.damage) {
    ScratchFolder folder;
    writeHostilePackage(folder / "seed.xlsx", package);
    return '\0' + readFile(folder / "seed.xlsx");
  }
  std::vector<fuzz::NamedPart> parts;
  for (const auto& part : package.parts) {
    if (part.pieces) throw std::invalid_argument("a part made in pieces is too large for a seed");
    parts.push_back({part.name, part.content});
  }
  return fuzz::partsForm(parts);
}

std::string seedFileName(const HostilePackage& package) {
  return package.name + (package.damage ? ".zip-file" : ".parts");
}

std::optional<xlsx::XlsxError> importFailure(const xlsx::XLSXFile& file) {
  ExcelData pairs;
  bool showAlert = false;
  try {
    importPairs(file, pairs, showAlert);
  } catch (const xlsx::XlsxError& error) {
    return error;
  }
  return std::nullopt;
}

}  // namespace kelmora::testing
