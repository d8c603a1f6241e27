#include "core/register/two_threads.h"

namespace cheque {

size_t& TwoThreadMinRows() {
  static size_t rows = 100000;
  return rows;
}

}  // namespace cheque
