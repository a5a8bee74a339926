#pragma once
// What the workbook reader gives: the few SpreadsheetML fields the import and
// the cell conversion read. Texts are kept exactly as stored, blanks included.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelmora::xlsx {

// The cell's "t" attribute.
enum class CellType { boolean, date, number, error, sharedString, string, inlineStr };

struct Cell {
  std::optional<CellType> type;
  std::optional<std::int64_t> styleIndex;  // "s": a position in the cell-format list
  std::optional<std::string> value;        // the content of "v"
};

struct Row {
  std::vector<Cell> cells;  // in document order
};

struct Worksheet {
  struct Data {
    std::vector<Row> rows;  // in document order
  };
  std::optional<Data> data;  // absent when the sheet has no sheetData
};

struct SharedStrings {
  struct Item {
    std::optional<std::string> text;  // absent for an item made only of rich-text runs
  };
  std::vector<Item> items;
};

struct Format {
  std::int64_t numberFormatId = 0;
};

struct CellFormats {
  std::vector<Format> items;
};

struct Styles {
  std::optional<CellFormats> cellFormats;  // absent when there is no cellXfs
};

struct Workbook {
  std::string path;  // the workbook part's package path
  struct Sheet {
    std::optional<std::string> name;
    std::string relationship;  // the sheet's r:id
  };
  std::vector<Sheet> sheets;
  // Serials count from 1 January 1904 instead of 30 December 1899.
  bool date1904 = false;
};

// One worksheet of a workbook: its name and its package path.
using WorksheetPathAndName = std::pair<std::optional<std::string>, std::string>;

}  // namespace kelmora::xlsx
