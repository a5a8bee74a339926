#include "data/hostile_packages.h"

#include <stdexcept>

#include "fuzz/data/parts_form.h"
#include "support/scratch_folder.h"

namespace kelmora::testing {
namespace {

using Kind = xlsx::XlsxError::Kind;

std::vector<HostilePackage> makeHostilePackages() {
  const std::string goodSheet = R"(<row><c t="s"><v>0</v></c></row><row><c><v>30</v></c></row>)";
  const std::string twoRows = "<row><c><v>1</v></c></row><row><c><v>2</v></c></row>";
  // The first sheet is read before the second one fails.
  auto twoSheets = [&](const std::string& second, bool styles = true) {
    return workbookParts({.sheets = {goodSheet, second},
                          .sharedStrings = "<si><t>Tm</t></si>",
                          .cellFormats = styles ? WorkbookLayout().cellFormats : std::nullopt});
  };
  const auto book = twoSheets(goodSheet);
  const ExcelData firstSheet = {{"Tm", "30"}};
  const auto secondSheet = [&](const std::string& second) {
    return Part{"xl/_rels/workbook.xml.rels",
                relationships(relationship("rId1", "worksheet", "worksheets/sheet1.xml") + second)};
  };
  // The climbing target names no part, even where an entry carries it
  // resolved or literally as the workbook writes it, which would give pairs.
  const Part climbing = secondSheet(relationship("rId2", "worksheet", "../../../etc/passwd"));
  const Part literally{"../../../etc/passwd", "<worksheet><sheetData>" + twoRows + "</sheetData></worksheet>"};
  const Part styles{"xl/styles.xml", R"(<styleSheet><cellXfs><xf numFmtId="14"/></cellXfs></styleSheet>)", true};

  // clang-format off
  return {
      {"sheet2-not-well-formed", twoSheets(twoRows + "<row>"), firstSheet, Kind::notWellFormed,
       "xl/worksheets/sheet2.xml"},
      // Only the end of the part tells that elements are left open.
      {"sheet2-cut-short", withParts(book, {{"xl/worksheets/sheet2.xml", "<worksheet><sheetData><row>"}}), firstSheet,
       Kind::notWellFormed, "xl/worksheets/sheet2.xml"},
      {"unknown-cell-type-in-sheet2", twoSheets(twoRows + R"(<row><c t="x"/></row>)"), firstSheet, Kind::badAttribute,
       "xl/worksheets/sheet2.xml"},
      {"fractional-style-index-in-sheet2", twoSheets(twoRows + R"(<row><c s="1.5"/></row>)"), firstSheet,
       Kind::badAttribute, "xl/worksheets/sheet2.xml"},
      {"non-numeric-format-id-in-styles",
       workbookParts({.sheets = {goodSheet}, .cellFormats = R"(<xf numFmtId="x"/>)"}),
       {}, Kind::badAttribute, "xl/styles.xml"},
      {"non-boolean-date1904-in-workbook",
       workbookParts({.sheets = {goodSheet}, .workbookProperties = R"(date1904="ja")"}), {}, Kind::badAttribute,
       "xl/workbook.xml"},
      {"relationship-without-target", withParts(book, {secondSheet(R"(<Relationship Id="rId2" Type="worksheet"/>)")}),
       {}, Kind::badRelationship, "xl/_rels/workbook.xml.rels"},
      {"sheet-target-outside-package", withParts(book, {climbing, {"xl/../../../etc/passwd", "<worksheet/>"}}),
       firstSheet, Kind::outsidePackage, "../../../etc/passwd"},
      {"sheet-entry-named-as-the-climbing-target", withParts(book, {climbing, literally}), firstSheet,
       Kind::outsidePackage, "../../../etc/passwd"},
      // An external target is no part of the package, though one of its name is there.
      {"external-sheet-target", withParts(book, {secondSheet(R"(<Relationship Id="rId2" TargetMode="External" )"
           R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" )"
           R"(Target="worksheets/sheet2.xml"/>)")}),
       firstSheet, Kind::missingPart, "worksheets/sheet2.xml"},
      {"workbook-target-outside-package",
       withParts(book, {{"_rels/.rels", relationships(relationship("a", "officeDocument", "../book.xml"))}}), {},
       Kind::outsidePackage, "_rels/.rels"},
      {"no-styles", twoSheets(goodSheet, false), {}, Kind::missingPart, "xl/styles.xml"},
      // Entity expansion and an external entity, neither ever reached.
      {"dtd-in-shared-strings", withParts(book, {{"xl/sharedStrings.xml",
           R"(<!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;">)"
           R"(<!ENTITY e SYSTEM "file:///etc/passwd">]><sst><si><t>&b;&e;</t></si></sst>)"}}),
       {}, Kind::documentType, "xl/sharedStrings.xml"},
      // A changed digit of a stored part still parses as XML; only the checksum can tell.
      {"crc-mismatch-in-styles", {styles}, {}, Kind::crcMismatch, "xl/styles.xml", [](std::string& bytes) {
         const auto digit = bytes.find("14\"");
         if (digit == std::string::npos) throw std::logic_error("the stored digit is not in the package");
         bytes[digit] = '2';
       }},
      // The first entry's deflate stream, after its 30-byte header and its
      // name (libzip writes no extra field), opens with a block of the reserved type.
      {"corrupt-deflate-in-styles", {{styles.name, styles.content}}, {}, Kind::unreadablePart, "xl/styles.xml",
       [at = 30 + styles.name.size()](std::string& bytes) { bytes.at(at) = '\xff'; }},
  };
  // clang-format on
}

}  // namespace

const std::vector<HostilePackage>& hostilePackages() {
  static const std::vector<HostilePackage> packages = makeHostilePackages();
  return packages;
}

std::string seedBytes(const HostilePackage& package) {
  if (package.damage) {
    ScratchFolder folder;
    writePackage(folder / "seed.xlsx", package.parts);
    std::string bytes = readFile(folder / "seed.xlsx");
    package.damage(bytes);
    return '\0' + bytes;
  }
  std::vector<fuzz::NamedPart> parts;
  for (const auto& part : package.parts) {
    if (part.rest) throw std::invalid_argument("a part written in pieces is too large for a seed");
    parts.push_back({part.name, part.content});
  }
  return fuzz::partsForm(parts);
}

std::string seedFileName(const HostilePackage& package) {
  return package.name + (package.damage ? ".zip-file" : ".parts");
}

}  // namespace kelmora::testing
