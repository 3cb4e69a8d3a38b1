// A list of observers that may attach or detach while an event is being passed to them:
// a dataset's data sources and a data source's links. An observer that detaches (or is
// destroyed) meanwhile is skipped; one that attaches meanwhile hears the next event.
#pragma once

#include <algorithm>
#include <vector>

namespace dbf {

template <typename Observer>
class TObserverList {
 public:
  void add(Observer* observer) { observers_.push_back(observer); }
  void remove(Observer* observer) { std::erase(observers_, observer); }

  bool empty() const { return observers_.empty(); }
  // REQUIRES: !empty().
  Observer* latest() const { return observers_.back(); }
  auto begin() const { return observers_.begin(); }
  auto end() const { return observers_.end(); }

  // Calls `notify(observer)` for each observer attached when the call begins, in attach
  // order, or in the order `arrange` puts a copy of the list in.
  // REQUIRES: `arrange` only reorders the list it is given.
  template <typename Notify, typename Arrange>
  void notifyEach(Notify notify, Arrange arrange) const {
    // Every move and every field assignment sends an event. With one observer (or none)
    // there is nothing left to visit after it, so the copy of the list, a heap allocation
    // per event, is not needed.
    if (observers_.size() <= 1) {
      if (!observers_.empty()) notify(observers_.front());
      return;
    }
    std::vector<Observer*> attached = observers_;
    arrange(attached);
    for (Observer* observer : attached) {
      if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) notify(observer);
    }
  }
  template <typename Notify>
  void notifyEach(Notify notify) const {
    notifyEach(notify, [](std::vector<Observer*>&) {});
  }

 private:
  std::vector<Observer*> observers_;
};

}  // namespace dbf
