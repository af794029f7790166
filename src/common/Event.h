#pragma once
// Multicast notification: an ordered list of owned handlers, each called in
// subscription order when the event is raised.
//
// A handler may subscribe or unsubscribe (itself or others) while the event
// is being raised: a handler added during a raise is first called by the
// next raise, a handler removed during a raise is not called any more, and
// its object lives until the outermost raise has finished, so a handler may
// remove itself. An event belongs to one thread; handlers that must run on
// another thread post from there (see CInvokerWnd).
#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace tavirel {

template <typename Arg, typename Ret = void>
class Event {
 public:
  class Base {
   public:
    virtual ~Base() = default;
    virtual Ret Invoke(Arg arg) = 0;
  };

  // Binds an owner object and one of its member functions.
  template <typename Owner>
  class T : public Base {
   public:
    using Method = Ret (Owner::*)(Arg);
    T(Owner* owner, Method method) : owner_(owner), method_(method) {}
    Ret Invoke(Arg arg) override { return (owner_->*method_)(std::forward<Arg>(arg)); }
    Owner* owner() const { return owner_; }

   private:
    Owner* owner_;
    Method method_;
  };

  // Any callable (tests, small adapters).
  template <typename F>
  class Fn : public Base {
   public:
    explicit Fn(F f) : f_(std::move(f)) {}
    Ret Invoke(Arg arg) override { return f_(std::forward<Arg>(arg)); }

   private:
    F f_;
  };

  Event() = default;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  // Each Add returns the handler, which RemoveHandler accepts.
  Base* Add(std::unique_ptr<Base> handler) {
    Base* h = handler.get();
    if (h == nullptr) return nullptr;
    handlers_.push_back(Slot{std::move(handler), false});
    ++live_;
    return h;
  }

  template <typename Owner>
  Base* Add(Owner* owner, Ret (Owner::*method)(Arg)) {
    return Add(std::make_unique<T<Owner>>(owner, method));
  }

  template <typename F>
  Base* AddFn(F f) {
    return Add(std::make_unique<Fn<F>>(std::move(f)));
  }

  // Removes every handler bound to this owner.
  template <typename Owner>
  void Remove(Owner* owner) {
    RemoveIf([owner](Base* h) {
      auto* t = dynamic_cast<T<Owner>*>(h);
      return t && t->owner() == owner;
    });
  }

  // Removes one handler returned by Add; false when it is not subscribed.
  bool RemoveHandler(const Base* handler) {
    return RemoveIf([handler](Base* h) { return h == handler; }) != 0;
  }

  void Clear() {
    RemoveIf([](Base*) { return true; });
  }
  bool Empty() const { return live_ == 0; }
  size_t Count() const { return live_; }

  // Calls every handler in order; for a non-void event, returns the last
  // handler's result (a default value when there is none).
  Ret Raise(Arg arg) {
    RaiseScope scope(*this);
    // By index and up to the count at the start: handlers may be added (the
    // vector may move) or removed while this runs.
    const size_t n = handlers_.size();
    if constexpr (std::is_void_v<Ret>) {
      for (size_t i = 0; i < n; ++i) {
        if (!handlers_[i].removed) handlers_[i].handler->Invoke(arg);
      }
    } else {
      Ret result{};
      for (size_t i = 0; i < n; ++i) {
        if (!handlers_[i].removed) result = handlers_[i].handler->Invoke(arg);
      }
      return result;
    }
  }

 private:
  struct Slot {
    std::unique_ptr<Base> handler;
    bool removed;
  };

  // Counts nested raises; the outermost one drops the removed handlers.
  class RaiseScope {
   public:
    explicit RaiseScope(Event& e) : e_(e) { ++e_.raising_; }
    ~RaiseScope() {
      if (--e_.raising_ == 0 && e_.live_ != e_.handlers_.size()) {
        std::erase_if(e_.handlers_, [](const Slot& s) { return s.removed; });
      }
    }
    RaiseScope(const RaiseScope&) = delete;
    RaiseScope& operator=(const RaiseScope&) = delete;

   private:
    Event& e_;
  };

  template <typename Pred>
  size_t RemoveIf(Pred pred) {
    size_t removed = 0;
    for (Slot& s : handlers_) {
      if (s.removed || !pred(s.handler.get())) continue;
      s.removed = true;
      ++removed;
    }
    live_ -= removed;
    // While raising, the objects stay until the outermost raise ends.
    if (raising_ == 0 && removed != 0) {
      std::erase_if(handlers_, [](const Slot& s) { return s.removed; });
    }
    return removed;
  }

  std::vector<Slot> handlers_;
  size_t live_ = 0;
  int raising_ = 0;
};

}  // namespace tavirel
