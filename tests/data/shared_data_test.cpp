#include "data/shared_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kelmora {
namespace {

TEST(SharedData, EveryChangeIsAnnouncedOnceBeforeItHappens) {
  const ExcelData first = {{"Navn", "Kari"}, {"Tm", "30"}};
  struct Case {
    const char* what;
    std::function<void(SharedData&)> change;
    ExcelData expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"replace drops the keys the new map lacks", [](SharedData& s) { s.setExcelData({{"Li", "9"}}); },
       {{"Li", "9"}}},
      {"replace with an equal map", [&](SharedData& s) { s.setExcelData(first); }, first},
      {"addData on a held key", [](SharedData& s) { s.addData("Tm", "31"); }, {{"Navn", "Kari"}, {"Tm", "31"}}},
      {"addData on a new key", [](SharedData& s) { s.addData("Li", "12"); },
       {{"Navn", "Kari"}, {"Tm", "30"}, {"Li", "12"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SharedData store;
    store.setExcelData(first);
    std::vector<ExcelData> seenBefore, delivered, heldWhenDelivered;
    auto willChange = store.objectWillChange.subscribe([&] { seenBefore.push_back(store.excelData()); });
    auto published = store.excelDataPublisher.subscribe([&](const ExcelData& data) {
      delivered.push_back(data);
      heldWhenDelivered.push_back(store.excelData());
    });
    int dropped = 0;
    auto replaced = store.objectWillChange.subscribe([&] { ++dropped; });
    replaced = store.objectWillChange.subscribe([&] { ++dropped; });  // ends the first
    replaced.reset();
    c.change(store);
    EXPECT_EQ(store.excelData(), c.expected);
    EXPECT_EQ(seenBefore, std::vector<ExcelData>{first});
    EXPECT_EQ(delivered, std::vector<ExcelData>{c.expected});
    EXPECT_EQ(heldWhenDelivered, std::vector<ExcelData>{first}) << "the field takes the map after its delivery";
    EXPECT_EQ(dropped, 0);
  }
}

}  // namespace
}  // namespace kelmora
