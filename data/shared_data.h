#pragma once
// The observable store of one client's data.

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelmora {

// One client's data under its keys. Every value kelmora stores is text (cell
// texts, its own whole numbers in plain decimal, conversion-table fields), so
// the values are plain strings rather than values of any type.
using ExcelData = std::map<std::string, std::string>;

// A list of observers of our own. Subscribing returns a token; dropping the
// token (or calling reset on it) ends the subscription.
template <class... Args>
class Signal {
 public:
  using Handler = std::function<void(const Args&...)>;

  class Subscription {
   public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
      if (this != &other) {
        reset();
        cancel_ = std::exchange(other.cancel_, {});
      }
      return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }
    void reset() {
      if (cancel_) std::exchange(cancel_, {})();
    }

   private:
    std::function<void()> cancel_;
  };

  [[nodiscard]] Subscription subscribe(Handler handler) {
    const std::size_t id = nextId_++;
    handlers_->emplace_back(id, std::move(handler));
    std::weak_ptr<List> list = handlers_;
    return Subscription([list, id] {
      if (auto handlers = list.lock()) std::erase_if(*handlers, [id](const auto& h) { return h.first == id; });
    });
  }

  // Calls every handler that was subscribed when the sending began.
  void send(const Args&... args) const {
    const List snapshot = *handlers_;
    for (const auto& entry : snapshot) entry.second(args...);
  }

 private:
  using List = std::vector<std::pair<std::size_t, Handler>>;
  std::shared_ptr<List> handlers_ = std::make_shared<List>();
  std::size_t nextId_ = 0;
};

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
