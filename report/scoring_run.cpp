#include "report/scoring_run.h"

#include <cstdint>
#include <system_error>

#include "base/diagnostics.h"
#include "base/whole_number.h"
#include "norms/dates.h"
#include "norms/debug_mode.h"
#include "norms/lookup.h"
#include "norms/norm_tables.h"
#include "report/index_sums.h"
#include "report/report_page.h"

namespace kelmora {
namespace {

// The dates, the age and the scaled scores in the working copy. No value
// when the run cannot go on (each such stop has printed its line, if any).
std::optional<std::string> deriveScores(ExcelData& excelDataCopy, const RunKeyLists& lists) {
  const auto testText = excelDataCopy.find("Testdato");
  std::optional<Date> testdato;
  if (testText != excelDataCopy.end()) {
    printItems(testText->second);
    testdato = konverterDatoFraStreng(testText->second);
  }
  if (!testdato) {
    printItems("Happy happy joy joy");
    return std::nullopt;
  }
  printItems("Går vi videre!?");

  const auto birthText = excelDataCopy.find("Fødselsdato");
  const auto fødselsdato = birthText == excelDataCopy.end() ? std::nullopt : konverterDatoFraStreng(birthText->second);
  if (!fødselsdato) {
    printItems("Joy joy happy happy");
    return std::nullopt;
  }

  const auto age = alderPåTestDato(*fødselsdato, *testdato);
  if (!age) return std::nullopt;

  const auto whole = [](auto value) { return formatWholeNumber(static_cast<std::int64_t>(value)); };
  excelDataCopy["testdag"] = whole(static_cast<unsigned>(testdato->day()));
  excelDataCopy["testmåned"] = whole(static_cast<unsigned>(testdato->month()));
  excelDataCopy["testår"] = whole(static_cast<int>(testdato->year()));
  excelDataCopy["fødselsdag"] = whole(static_cast<unsigned>(fødselsdato->day()));
  excelDataCopy["fødselsmåned"] = whole(static_cast<unsigned>(fødselsdato->month()));
  excelDataCopy["fødselsår"] = whole(static_cast<int>(fødselsdato->year()));
  excelDataCopy["aldermåneder"] = formatWholeNumber(age->måneder);
  excelDataCopy["alderdager"] = formatWholeNumber(age->dager);
  excelDataCopy["alderår"] = formatWholeNumber(age->år);

  printItems("dette har vi før vi legger inn: ", excelDataCopy);

  // Only the whole years choose the band.
  const auto band = getClosestAgeTableKey(age->år, rangetables());
  if (!band) {
    printItems("Kunne ikke finne en passende alderstabell.");
    return std::nullopt;
  }

  for (std::size_t i = 0; i < lists.rawKeys.size(); ++i) {
    const std::string& code = lists.rawKeys[i];
    const auto found = excelDataCopy.find(code);
    const auto raw = found == excelDataCopy.end() ? std::nullopt : parseWholeNumber(found->second);
    if (!raw) {
      printItems("Kunne ikke hente verdi for kategori ", code, ".");
      continue;
    }
    const auto scaled = lookupValue(*band, code, *raw);
    if (!scaled) {
      printItems("Ugyldig input for kategori ", code, ": ", *raw, ".");
      continue;
    }
    excelDataCopy[lists.scaledKeys[i]] = formatWholeNumber(*scaled);
  }

  // A check that the norm tables answer at all, whatever the client's band.
  printItems(lookupValue("35", "Tm", 54) ? "Funkar" : "Funkar inte");
  printItems("har lagt skalerte skårer inn i excelDataCopy: ", excelDataCopy);
  return band;
}

// The report's place for a diagnostic line: its full path when the working
// directory still has one (it may have been removed under us).
std::string reportPlace() {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(reportFile, error);
  return error ? reportFile.string() : absolute.string();
}

// The run up to the written report; false when it ends without one.
bool writeReport(const SharedData& sharedData, const ReportServices& services) {
  printLine("Innholdet i sharedData.excelData: " + dumpMap(sharedData.excelData()));

  const auto background = services.backgroundImage();
  if (!background) return false;

  ExcelData excelDataCopy = sharedData.excelData();
  SharedData tempSharedData;
  const RunKeyLists lists = makeRunKeyLists();

  if (!deriveScores(excelDataCopy, lists)) return false;
  tempSharedData.setExcelData(excelDataCopy);

  // The page, the size of the background image, one pixel to one point.
  const platform::Rect mediaBox{0, 0, static_cast<double>(background->width()),
                                static_cast<double>(background->height())};
  std::string reason;
  const auto context = services.createDocument(reportFile, reason);
  if (!context) {
    printLine("Kunne ikke lage rapporten " + reportPlace() + ": " + reason);
    return false;
  }
  context->beginPage(mediaBox);
  context->drawImage(*background, mediaBox);
  drawClientScores(lists, tempSharedData, *context);
  if (debugMode) printItems("Skal ha skrevet noe");

  const IndexSums sums = formIndexSums(tempSharedData, sharedData);
  storeSums(sums, excelDataCopy);
  tempSharedData.setExcelData(excelDataCopy);
  drawSumRow(tempSharedData, *context);

  // Without every conversion row there is no report: the document is given up.
  const auto columns = convertIndexSums(sums, excelDataCopy);
  if (!columns) return false;
  tempSharedData.setExcelData(excelDataCopy);

  drawIndexAndProfiles(lists, *columns, tempSharedData, excelDataCopy, *context);

  context->endPage();
  if (!context->close(reason)) {
    printLine("Kunne ikke skrive rapporten " + reportPlace() + ": " + reason);
    return false;
  }
  return true;
}

}  // namespace

void performScoringRun(const SharedData& sharedData, const ReportServices& services) {
  if (writeReport(sharedData, services)) {
    services.openFile(reportFile);
    return;
  }
  removeEarlierReport();
}

void removeEarlierReport() {
  std::error_code error;
  std::filesystem::remove(reportFile, error);
}

}  // namespace kelmora
