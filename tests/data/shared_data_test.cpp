#include "data/shared_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kelmora {
namespace {

// Records what observers see: the map as it stood when the change was
// announced, and what the publisher delivered.
struct Observer {
  explicit Observer(SharedData& store)
      : willChange(store.objectWillChange.subscribe([this, &store] { seenBefore.push_back(store.excelData()); })),
        published(store.excelDataPublisher.subscribe([this](const ExcelData& data) { delivered.push_back(data); })) {}

  std::vector<ExcelData> seenBefore;
  std::vector<ExcelData> delivered;
  Signal<>::Subscription willChange;
  Signal<ExcelData>::Subscription published;
};

TEST(SharedData, StartsEmpty) {
  SharedData store;
  EXPECT_TRUE(store.excelData().empty());
  EXPECT_FALSE(store.excelData().contains("Navn"));
}

TEST(SharedData, EveryChangeIsAnnouncedOnceBeforeItHappens) {
  const ExcelData first = {{"Navn", "Kari"}, {"Tm", "30"}};
  const ExcelData second = {{"Navn", "Ola"}};

  struct Case {
    const char* what;
    std::function<void(SharedData&)> change;
    ExcelData expected;
  };
  const std::vector<Case> cases = {
      {"replace drops the keys the new map lacks", [&](SharedData& s) { s.setExcelData(second); }, second},
      {"replace with an equal map", [&](SharedData& s) { s.setExcelData(first); }, first},
      {"addData on a held key", [](SharedData& s) { s.addData("Tm", "31"); }, {{"Navn", "Kari"}, {"Tm", "31"}}},
      {"addData on a new key", [](SharedData& s) { s.addData("Li", "12"); },
       {{"Navn", "Kari"}, {"Tm", "30"}, {"Li", "12"}}},
      {"change in place", [](SharedData& s) { s.modifyExcelData([](ExcelData& d) { d.erase("Tm"); d["X"] = "X"; }); },
       {{"Navn", "Kari"}, {"X", "X"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SharedData store;
    store.setExcelData(first);
    Observer observer(store);
    c.change(store);
    EXPECT_EQ(store.excelData(), c.expected);
    ASSERT_EQ(observer.seenBefore.size(), 1u);
    EXPECT_EQ(observer.seenBefore[0], first);
    ASSERT_EQ(observer.delivered.size(), 1u);
    EXPECT_EQ(observer.delivered[0], c.expected);
  }
}

TEST(SharedData, CopyTakenBeforeAReplacementKeepsTheOldPairs) {
  SharedData store;
  store.setExcelData({{"Navn", "Kari"}});
  const ExcelData copy = store.excelData();
  store.setExcelData({{"Navn", "Ola"}});
  EXPECT_EQ(copy.at("Navn"), "Kari");
}

TEST(SharedData, DroppedSubscriptionHearsNothing) {
  SharedData store;
  int calls = 0;
  {
    auto subscription = store.objectWillChange.subscribe([&] { ++calls; });
    store.addData("a", "1");
  }
  store.addData("a", "2");
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace kelmora
