#pragma once
// The observable store of one client's data.

#include <functional>
#include <map>
#include <string>

#include "base/signal.h"

namespace kelmora {

// One client's data under its keys. Every value kelmora stores is text (cell
// texts, its own whole numbers in plain decimal, conversion-table fields), so
// the values are plain strings rather than values of any type.
using ExcelData = std::map<std::string, std::string>;

// Holders share one store through std::shared_ptr<SharedData>.
class SharedData {
 public:
  SharedData() = default;
  SharedData(const SharedData&) = delete;
  SharedData& operator=(const SharedData&) = delete;

  // Read: the current map (callers copy it to keep a snapshot).
  const ExcelData& excelData() const { return excelData_; }

  // Replace: announces the change, then stores the map whole. The map is
  // announced even when it equals the current one.
  void setExcelData(ExcelData data);

  // Change in place: one announcement, then one change through the callback.
  void modifyExcelData(const std::function<void(ExcelData&)>& change);

  // Stores one value under one key (replacing what the key held).
  void addData(const std::string& key, std::string value);

  // Fires, carrying nothing, before every replacement or change in place.
  Signal<> objectWillChange;
  // The field's own publisher: delivers the new map just before the field
  // takes it (after objectWillChange).
  Signal<ExcelData> excelDataPublisher;

 private:
  ExcelData excelData_;
};

}  // namespace kelmora
