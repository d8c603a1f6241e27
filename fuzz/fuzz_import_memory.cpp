// Import.dat, the remembered mappings: any file reads; what is saved reads
// back entry for entry; a header of the file's is found again.

#include <QStringList>

#include "core/import/column_mapping.h"
#include "core/text/codec.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = cheque::fuzz::AsBytes(data, size);
  const QString path = cheque::fuzz::WriteScratchFile(QStringLiteral("Import.dat"), bytes);
  cheque::MappingMemory memory = cheque::MappingMemory::Load(path);
  Check(memory.EntryCount() <= static_cast<int>(size / 2 + 1), "more entries than lines");

  const QString copy = cheque::fuzz::WriteScratchFile(QStringLiteral("Import2.dat"), {});
  Check(memory.Save(copy), "a memory read could not be saved");
  cheque::MappingMemory again = cheque::MappingMemory::Load(copy);
  Check(again.EntryCount() == memory.EntryCount(), "a saved memory reads back otherwise");

  // Each line of the file taken as a header row, TAB between its cells.
  cheque::StatementTable table;
  for (const QString& line : cheque::DecodeWin1255(bytes).split(u'\n')) {
    if (table.rows.size() >= 8) break;
    const QStringList cells = QString(line).remove(u'\r').split(u'\t');
    table.rows.emplace_back(cells.begin(), cells.end());
  }
  table.rows.emplace_back(std::vector<QString>{QStringLiteral("1/1/2024"), QStringLiteral("5")});
  if (const auto found = memory.Find(table)) {
    Check(found->IsComplete(), "a remembered mapping is not whole");
    Check(again.Find(table) == found, "a saved memory finds otherwise");
  }
  return 0;
}
