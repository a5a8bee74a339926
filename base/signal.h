#pragma once
// Observers of our own, without any framework's signals.

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kelmora {

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

}  // namespace kelmora
