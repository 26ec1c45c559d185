#include "stress/stress_base.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "symbase/results.h"

namespace stress {
namespace {

constexpr int kRetries = 100;

// TBCreateObject and TBDelObject in the shape of the calls that take a mode.
int CreateObject(CTBData* base, CTBObjetAts* row, int) { return TBCreateObject(base, row); }
int DelObject(CTBData* base, CTBObjetAts* row, int) { return TBDelObject(base, row); }

}  // namespace

Worker::Worker(CTBData* base, int log_fd, long first, unsigned seed, State model)
    : base_(base), log_fd_(log_fd), next_(first), random_(seed), model_(std::move(model)) {
  // New addresses come after every address of the model.
  for (const auto& entry : model_) {
    next_ = std::max(next_, std::strtol(entry.first.c_str() + 3, nullptr, 10) + 1);
  }
}

Object Worker::Fresh(bool comment, bool shared) {
  Object object{"S" + std::to_string(next_) + "_" + std::to_string(++generation_), ""};
  if (shared && shared_pool_ > 0 && random_() % 10 == 0) {
    object.symbol = "Shared_" + std::to_string(random_() % static_cast<unsigned>(shared_pool_));
  }
  if (comment) object.comment = "comment " + std::to_string(generation_) + " \xe9t\xe9";
  return object;
}

void Worker::Write(const std::string& address, const Object& sent, const Object* after,
                   int (*call)(CTBData*, CTBObjetAts*, int), int mode) {
  const Object state = after != nullptr ? *after : Object();
  AppendLine(log_fd_, LogLine{after != nullptr ? 'I' : 'K', address, state});
  Outcome outcome;
  for (int attempt = 0; attempt < kRetries; ++attempt) {
    outcome = Observed(address, sent, [&](CTBObjetAts* row) { return call(base_, row, mode); });
    if (outcome.result != TB_LOCKED_BY_OTHER) break;
  }
  if (outcome.result == TB_LOCKED_BY_OTHER) {
    ++counts_.busy;
  } else if (outcome.result == TB_SYMBOL_TAKEN && !outcome.reported) {
    ++counts_.refused;
  } else if (!outcome.confirmed()) {
    ++counts_.failed;
    if (first_failure_.empty()) {
      first_failure_ = address + " gave " + std::to_string(outcome.result) +
                       (outcome.reported ? " with a report" : "");
    }
  } else {
    ++counts_.confirmed;
    if (after != nullptr) model_[address] = state;
    if (after == nullptr) model_.erase(address);
    AppendLine(log_fd_, LogLine{after != nullptr ? 'S' : 'X', address, state});
  }
}

void Worker::Step(Mix mix) {
  const unsigned roll = random_() % 100;
  const bool create =
      model_.empty() || mix == Mix::kCreates || (mix == Mix::kInserts ? roll < 50 : roll < 30);
  // Only a creation may take a shared symbol: an insertion of a taken one
  // would move another worker's row to this worker's address.
  if (create) {
    const bool creation = mix == Mix::kCreates || (mix == Mix::kMixed && roll % 2 == 0);
    const Object object = Fresh(random_() % 2 == 0, creation);
    Write("%MW" + std::to_string(next_++), object, &object,
          creation ? CreateObject : TBInsertObject);
    return;
  }
  auto it = model_.begin();
  std::advance(it, static_cast<long>(random_() % model_.size()));
  const std::string address = it->first;
  const Object old = it->second;
  const Object object = Fresh(random_() % 3 != 0, mix != Mix::kInserts && roll < 80);
  const Object comment_only{old.symbol, object.comment}, symbol_only{object.symbol, old.comment};
  if (mix == Mix::kInserts || roll >= 80) {
    Write(address, object, &object, TBInsertObject);
  } else if (roll < 45) {
    Write(address, object, &object, TBModifyObject, 2);
  } else if (roll < 55) {
    Write(address, object, &comment_only, TBModifyObject, 1);
  } else if (roll < 60) {
    Write(address, object, &symbol_only, TBModifyObject, 0);
  } else {
    Write(address, Object(), nullptr, DelObject);
  }
}

std::optional<Worker> Work(const std::string& directory, int log_fd, long first, unsigned seed,
                           State model, const std::function<void(Worker&)>& steps) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  if (base == nullptr) return std::nullopt;
  std::optional<Worker> worker(std::in_place, base, log_fd, first, seed, std::move(model));
  steps(*worker);
  CloseBase(base);
  return worker;
}

State Fill(const std::string& directory, long objects, unsigned seed, Mix rest) {
  const auto worker = Work(directory, -1, 1000, seed, State(), [&](Worker& w) {
    for (long i = 0; i < objects; ++i) w.Step(i < objects / 2 ? Mix::kCreates : rest);
  });
  return worker ? worker->model() : State();
}

}  // namespace stress
