#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

// Answers that reach their asker only while it still waits for them.
//
// A question the user answers later (a dialog) may be answered after the
// asker stopped waiting: a POP3 session that timed out, was closed by the
// server or cancelled, a window that closed, an object that is gone. The
// asker keeps one guard and wraps the handler of each question in Wrap();
// the wrapped handler calls through at most once, and not at all after the
// asker called Withdraw() or destroyed the guard. It holds only a weak
// reference, so the UI may keep it and call it whenever it likes.
//
// Everything runs on the one thread that owns the asker (the event loop's).

namespace lp {

class QuestionGuard {
 public:
  QuestionGuard() = default;
  QuestionGuard(const QuestionGuard&) = delete;
  QuestionGuard& operator=(const QuestionGuard&) = delete;

  // A handler that calls `handler` only if it is the first answer to the
  // question asked last and the asker still waits. Wrapping a new question
  // makes every handler given out before it dead.
  template <typename Choice>
  [[nodiscard]] std::function<void(Choice)> Wrap(std::function<void(Choice)> handler) {
    const std::uint64_t question = ++*generation_;
    return [weak = std::weak_ptr<std::uint64_t>(generation_), question,
            handler = std::move(handler)](Choice choice) {
      const std::shared_ptr<std::uint64_t> generation = weak.lock();
      if (!generation || *generation != question) return;
      ++*generation;  // answered: a second answer finds a newer number
      handler(choice);
    };
  }

  // The asker stops waiting: every handler given out goes dead.
  void Withdraw() { ++*generation_; }

 private:
  std::shared_ptr<std::uint64_t> generation_ = std::make_shared<std::uint64_t>(0);
};

}  // namespace lp
