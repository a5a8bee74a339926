#include "data/shared_data.h"

namespace kelmora {

void SharedData::setExcelData(ExcelData data) {
  objectWillChange.send();
  excelDataPublisher.send(data);
  excelData_ = std::move(data);
}

void SharedData::modifyExcelData(const std::function<void(ExcelData&)>& change) {
  objectWillChange.send();
  ExcelData changed = excelData_;
  change(changed);
  excelDataPublisher.send(changed);
  excelData_ = std::move(changed);
}

void SharedData::addData(const std::string& key, std::string value) {
  modifyExcelData([&](ExcelData& data) { data[key] = std::move(value); });
}

}  // namespace kelmora
