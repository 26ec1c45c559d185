#include "stress/stress_worker.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "symbase/results.h"

namespace stress {
namespace {

constexpr int kRetries = 100;

// TBCreateObject in the shape of the calls that take a mode.
int CreateObject(CTBData* base, CTBObjetAts* row, int) { return TBCreateObject(base, row); }

}  // namespace

Worker::Worker(CTBData* base, int log_fd, long first, unsigned seed, State model)
    : base_(base), log_fd_(log_fd), next_(first), random_(seed), model_(std::move(model)) {
  // New addresses come after every address of the model.
  for (const auto& entry : model_) {
    next_ = std::max(next_, std::strtol(entry.first.c_str() + 3, nullptr, 10) + 1);
  }
}

std::string Worker::NewAddress() { return "%MW" + std::to_string(next_++); }

std::string Worker::NewSymbol(bool shared) {
  if (shared && shared_pool_ > 0 && random_() % 10 == 0) {
    return "Shared_" + std::to_string(random_() % static_cast<unsigned>(shared_pool_));
  }
  return "S" + std::to_string(next_) + "_" + std::to_string(++generation_);
}

std::string Worker::AnyAddress() {
  auto it = model_.begin();
  std::advance(it, static_cast<long>(random_() % model_.size()));
  return it->first;
}

Object Worker::Fresh(bool comment, bool shared) {
  Object object{NewSymbol(shared), ""};
  if (comment) object.comment = "comment " + std::to_string(generation_) + " \xe9t\xe9";
  return object;
}

Outcome Worker::Retried(const std::function<Outcome()>& call) {
  Outcome outcome;
  for (int attempt = 0; attempt < kRetries; ++attempt) {
    outcome = call();
    if (outcome.result != TB_LOCKED_BY_OTHER) break;
  }
  return outcome;
}

void Worker::Note(const std::string& what, const Outcome& outcome) {
  if (outcome.confirmed()) {
    ++counts_.confirmed;
  } else if (outcome.result == TB_LOCKED_BY_OTHER) {
    ++counts_.busy;
  } else if (outcome.result == TB_SYMBOL_TAKEN && !outcome.reported) {
    ++counts_.refused;
  } else {
    ++counts_.failed;
    if (first_failure_.empty()) {
      first_failure_ = what + " gave " + std::to_string(outcome.result) +
                       (outcome.reported ? " with a report" : "");
    }
  }
}

void Worker::Write(const std::string& address, const Object& sent, const Object& after,
                   int (*call)(CTBData*, CTBObjetAts*, int), int mode) {
  AppendLine(log_fd_, LogLine{'I', address, after});
  const Outcome outcome = Retried([&] {
    return Observed(address, sent, [&](CTBObjetAts* row) { return call(base_, row, mode); });
  });
  Note("writing " + address, outcome);
  if (!outcome.confirmed()) return;
  model_[address] = after;
  AppendLine(log_fd_, LogLine{'S', address, after});
}

void Worker::Remove(const std::string& address) {
  AppendLine(log_fd_, LogLine{'K', address, Object()});
  const Outcome outcome = Retried([&] {
    return Observed(address, Object(), [&](CTBObjetAts* row) { return TBDelObject(base_, row); });
  });
  Note("deleting " + address, outcome);
  if (!outcome.confirmed()) return;
  model_.erase(address);
  AppendLine(log_fd_, LogLine{'X', address, Object()});
}

void Worker::ReadBack(const std::string& address) {
  Object found;
  const int result = Retried([&] { return Outcome{Lookup(base_, address, &found), false}; }).result;
  if (result == TB_LOCKED_BY_OTHER) {
    ++counts_.busy;
    return;
  }
  auto it = model_.find(address);
  const bool right = it == model_.end() ? result != 0 : result == 0 && found == it->second;
  if (right) return;
  ++counts_.wrong;
  if (first_failure_.empty()) {
    first_failure_ =
        "reading " + address + " gave " + std::to_string(result) + " '" + found.symbol + "'";
  }
}

void Worker::Step(Mix mix) {
  const unsigned roll = random_() % 100;
  const bool create =
      model_.empty() || mix == Mix::kCreates || (mix == Mix::kInserts ? roll < 50 : roll < 30);
  // Only a creation may take a shared symbol: an insertion of a taken one
  // would move another worker's row to this worker's address.
  if (create) {
    const std::string address = NewAddress();
    const bool creation = mix == Mix::kCreates || (mix == Mix::kMixed && roll % 2 == 0);
    const Object object = Fresh(random_() % 2 == 0, creation);
    Write(address, object, object, creation ? CreateObject : TBInsertObject, 0);
    return;
  }
  const std::string address = AnyAddress();
  const Object old = model_[address];
  const Object object = Fresh(random_() % 3 != 0, mix != Mix::kInserts && roll < 80);
  if (mix == Mix::kInserts || roll >= 80) {
    Write(address, object, object, TBInsertObject, 0);
  } else if (roll < 45) {
    Write(address, object, object, TBModifyObject, 2);
  } else if (roll < 55) {
    Write(address, object, Object{old.symbol, object.comment}, TBModifyObject, 1);
  } else if (roll < 60) {
    Write(address, object, Object{object.symbol, old.comment}, TBModifyObject, 0);
  } else if (roll < 72) {
    Remove(address);
  } else {
    ReadBack(address);
  }
}

State Fill(const std::string& directory, long objects, unsigned seed, Mix rest) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  if (base == nullptr) return State();
  const int sink = open("/dev/null", O_WRONLY);
  Worker worker(base, sink, 1000, seed, State());
  for (long i = 0; i < objects; ++i) worker.Step(i < objects / 2 ? Mix::kCreates : rest);
  close(sink);
  CloseBase(base);
  return worker.model();
}

}  // namespace stress
