// The account reader next to glibc's iconv(3) over the same generated file
// of 1,000,000 transactions: `cheque-cli register --count` opens an account
// so (read only, date sorted with its balances), and should cost at most 1.5
// times what decoding the file from Windows-1255 to UTF-8 costs.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <vector>

#include "bench/account_generator.h"
#include "core/files/line_file.h"
#include "core/register/open_account.h"

namespace cheque::bench {
namespace {

const QString& MillionRowFile() {
  static QTemporaryDir dir;
  static const QString path = [] {
    const QString file = dir.filePath(QStringLiteral("Xct1000000.dat"));
    WriteFileAtomic(file, GenerateAccountFile(1000000, QStringLiteral(CHEQUE_ASSETS)));
    return file;
  }();
  return path;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// As the iconv program does: the file read, decoded a piece at a time.
size_t IconvFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  QByteArray in = file.readAll();
  iconv_t cd = iconv_open("UTF-8", "CP1255");
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  std::vector<char> out(size_t{1} << 16);
  char* src = in.data();
  size_t src_left = static_cast<size_t>(in.size());
  size_t written = 0;
  while (src_left > 0) {
    char* dst = out.data();
    size_t dst_left = out.size();
    const size_t result = iconv(cd, &src, &src_left, &dst, &dst_left);
    written += out.size() - dst_left;
    if (result == static_cast<size_t>(-1) && errno != E2BIG) break;
  }
  iconv_close(cd);
  return written;
}

// Manual time is the reader's; the counters tell both and their ratio.
void BM_ReaderVsIconv(benchmark::State& state) {
  const QString& path = MillionRowFile();
  AccountOpenOptions read_only;
  read_only.mode = AccountOpenMode::kReadOnly;
  double reader = 0;
  double decoder = 0;
  for (auto _ : state) {
    Register reg;
    auto start = std::chrono::steady_clock::now();
    if (!OpenAccountFile(path, u"0", QDate(2025, 12, 1), reg, read_only).Loaded()) {
      state.SkipWithError("open failed");
    }
    const double took = Seconds(start);
    state.SetIterationTime(took);
    reader += took;
    start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(IconvFile(path));
    decoder += Seconds(start);
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["reader_ms"] = 1000 * reader / runs;
  state.counters["iconv_ms"] = 1000 * decoder / runs;
  state.counters["ratio_to_iconv"] = decoder > 0 ? reader / decoder : 0;
}
BENCHMARK(BM_ReaderVsIconv)->UseManualTime()->MinTime(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace cheque::bench
