#pragma once
// Multicast notification: an ordered list of owned handlers, each called in
// subscription order when the event is raised.
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

  void Add(std::unique_ptr<Base> handler) { handlers_.push_back(std::move(handler)); }

  template <typename Owner>
  void Add(Owner* owner, Ret (Owner::*method)(Arg)) {
    handlers_.push_back(std::make_unique<T<Owner>>(owner, method));
  }

  template <typename F>
  void AddFn(F f) {
    handlers_.push_back(std::make_unique<Fn<F>>(std::move(f)));
  }

  // Removes every handler bound to this owner.
  template <typename Owner>
  void Remove(Owner* owner) {
    std::erase_if(handlers_, [owner](const std::unique_ptr<Base>& h) {
      auto* t = dynamic_cast<T<Owner>*>(h.get());
      return t && t->owner() == owner;
    });
  }

  void Clear() { handlers_.clear(); }
  bool Empty() const { return handlers_.empty(); }
  size_t Count() const { return handlers_.size(); }

  // Calls every handler in order; for a non-void event, returns the last
  // handler's result (a default value when there is none).
  Ret Raise(Arg arg) {
    if constexpr (std::is_void_v<Ret>) {
      for (auto& h : handlers_) h->Invoke(arg);
    } else {
      Ret result{};
      for (auto& h : handlers_) result = h->Invoke(arg);
      return result;
    }
  }

 private:
  std::vector<std::unique_ptr<Base>> handlers_;
};

}  // namespace tavirel
