#pragma once

// A few passes over a large register split into two parts that do not
// depend on each other; the second part runs on a thread of its own, as
// opening a large account is what the user waits for and the machine has
// more than one core. Each part writes only its own rows and results.

#include <cstddef>
#include <system_error>
#include <thread>

namespace cheque {

// Below this many rows (or kilobytes of a file) a thread costs more than it
// saves. Tests lower it, so that the split runs on their small files too.
size_t& TwoThreadMinRows();

inline bool WorthTwoThreads(size_t rows) { return rows >= TwoThreadMinRows(); }

// work(0) on this thread and work(1) on another, both done on return; both
// here, one after the other, when no thread can be started.
template <typename Work>
void RunInTwo(const Work& work) {
  std::thread second;
  try {
    second = std::thread([&work] { work(1); });
  } catch (const std::system_error&) {
    work(0);
    work(1);
    return;
  }
  work(0);
  second.join();
}

}  // namespace cheque
