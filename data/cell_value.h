#pragma once
// The text of one worksheet cell, and spreadsheet serial days as civil days.

#include <chrono>
#include <optional>
#include <string>

#include "data/xlsx/models.h"

namespace kelmora {

// The civil day of a serial day number: its whole days counted from
// 30 December 1899 (from 1 January 1904 in a workbook that uses the 1904 date
// system). The time of day, the time zone and the season play no part, so a
// cell gives the same day wherever and whenever it is read. Nothing when the
// serial is not finite or the day falls outside the years 1 to 9999.
std::optional<std::chrono::year_month_day> fromExcelDate(double serial, bool date1904 = false);

// "dd-MM-yyyy".
std::string formatDate(std::chrono::year_month_day day);

// The text the import stores for a cell: a shared string resolved, a number
// in the short-date format (id 14) as "dd-MM-yyyy", anything else exactly as
// the sheet stores it; nothing for a cell without text.
std::optional<std::string> getCellValue(const xlsx::Cell& cell, const xlsx::SharedStrings* sharedStrings,
                                        const xlsx::Styles& styles, bool date1904 = false);

}  // namespace kelmora
