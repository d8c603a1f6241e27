// ".xls" workbooks of Excel 97 and later (BIFF8): the compound file through
// libgsf, the records of its "Workbook" stream read here. Only what a
// statement needs is read: cells' values, sheets, and which number formats
// show dates. Protection records (a card company's files carry them, set to
// nothing) are passed over like every other record not read.

#include <glib-object.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <QHash>
#include <cstring>
#include <memory>
#include <optional>

#include "core/import/reader_support.h"
#include "core/import/statement_table.h"

namespace cheque {
namespace {

using namespace reader;

enum Record : quint16 {
  kFormula = 0x0006,
  kEof = 0x000A,
  kFilePass = 0x002F,
  kContinue = 0x003C,
  kDateMode = 0x0022,
  kBoundSheet = 0x0085,
  kMulRk = 0x00BD,
  kRString = 0x00D6,
  kXf = 0x00E0,
  kSst = 0x00FC,
  kLabelSst = 0x00FD,
  kNumber = 0x0203,
  kLabel = 0x0204,
  kString = 0x0207,
  kRk = 0x027E,
  kFormat = 0x041E,
  kBof = 0x0809,
};

// Little-endian fields of a record's data; every read checks its bounds.
class Bytes {
 public:
  explicit Bytes(QByteArrayView data) : data_(data) {}
  qsizetype size() const { return data_.size(); }
  bool Has(qsizetype at, qsizetype count) const {
    return at >= 0 && count >= 0 && at <= data_.size() - count;
  }
  quint8 U8(qsizetype at) const { return Has(at, 1) ? static_cast<quint8>(data_[at]) : 0; }
  quint16 U16(qsizetype at) const { return static_cast<quint16>(U8(at) | (U8(at + 1) << 8)); }
  quint32 U32(qsizetype at) const {
    return static_cast<quint32>(U16(at)) | (static_cast<quint32>(U16(at + 2)) << 16);
  }
  double F64(qsizetype at) const {
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | U8(at + i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  QByteArrayView Mid(qsizetype at, qsizetype count) const {
    return Has(at, count) ? data_.sliced(at, count) : QByteArrayView();
  }

 private:
  QByteArrayView data_;
};

struct RecordAt {
  quint16 type = 0;
  QByteArrayView data;
};

// The records of a stream from an offset on.
class Records {
 public:
  Records(QByteArrayView stream, qsizetype at) : stream_(stream), at_(at) {}
  std::optional<RecordAt> Next() {
    const Bytes bytes(stream_);
    if (!bytes.Has(at_, 4)) return std::nullopt;
    const quint16 type = bytes.U16(at_);
    const quint16 length = bytes.U16(at_ + 2);
    if (!bytes.Has(at_ + 4, length)) return std::nullopt;
    RecordAt record{type, stream_.sliced(at_ + 4, length)};
    at_ += 4 + length;
    return record;
  }
  // The record after the current one, left unread.
  quint16 PeekType() const { return Bytes(stream_).U16(at_); }

 private:
  QByteArrayView stream_;
  qsizetype at_;
};

// Text of a record and of the CONTINUE records after it. A string's
// characters may run on into the next record, which then starts with a
// byte saying whether they are one byte or two each.
class Continued {
 public:
  explicit Continued(std::vector<QByteArrayView> parts) : parts_(std::move(parts)) {}
  bool AtEnd() {
    while (part_ < parts_.size() && at_ >= parts_[part_].size()) NextPart();
    return part_ >= parts_.size();
  }
  std::optional<quint32> Read(int count) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i) {
      if (AtEnd()) return std::nullopt;
      value |= static_cast<quint32>(static_cast<quint8>(parts_[part_][at_++])) << (8 * i);
    }
    return value;
  }
  bool Skip(quint64 count) {
    while (count > 0) {
      if (AtEnd()) return false;
      const quint64 step =
          std::min<quint64>(count, static_cast<quint64>(parts_[part_].size() - at_));
      at_ += static_cast<qsizetype>(step);
      count -= step;
    }
    return true;
  }
  std::optional<QString> Chars(int count, bool wide) {
    QString text;
    text.reserve(count);
    while (text.size() < count) {
      if (part_ >= parts_.size()) return std::nullopt;
      if (at_ >= parts_[part_].size()) {
        NextPart();
        if (part_ >= parts_.size() || parts_[part_].isEmpty()) return std::nullopt;
        wide = (parts_[part_][0] & 1) != 0;
        at_ = 1;
        continue;
      }
      const QByteArrayView part = parts_[part_];
      if (wide) {
        if (at_ + 1 >= part.size()) return std::nullopt;
        text += QChar(static_cast<char16_t>(static_cast<quint8>(part[at_]) |
                                            (static_cast<quint8>(part[at_ + 1]) << 8)));
        at_ += 2;
      } else {
        text += QChar(static_cast<char16_t>(static_cast<quint8>(part[at_])));
        ++at_;
      }
    }
    return text;
  }

 private:
  void NextPart() {
    ++part_;
    at_ = 0;
  }
  std::vector<QByteArrayView> parts_;
  size_t part_ = 0;
  qsizetype at_ = 0;
};

// A string of the shared-string table: length, flags, then perhaps runs of
// formatting and East Asian phonetic text, which are skipped.
std::optional<QString> SharedString(Continued& in) {
  const auto length = in.Read(2);
  const auto flags = in.Read(1);
  if (!length || !flags) return std::nullopt;
  quint32 runs = 0;
  quint32 phonetic = 0;
  if (*flags & 0x08) {
    const auto value = in.Read(2);
    if (!value) return std::nullopt;
    runs = *value;
  }
  if (*flags & 0x04) {
    const auto value = in.Read(4);
    if (!value) return std::nullopt;
    phonetic = *value;
  }
  auto text = in.Chars(static_cast<int>(*length), (*flags & 1) != 0);
  if (!text || !in.Skip(4ULL * runs + phonetic)) return std::nullopt;
  return text;
}

// A cell's own string (LABEL, STRING): length, flags, characters.
QString UnicodeString(const Bytes& data, qsizetype at) {
  const int length = data.U16(at);
  const bool wide = (data.U8(at + 2) & 1) != 0;
  const QByteArrayView chars = data.Mid(at + 3, wide ? 2LL * length : length);
  QString text(chars.size() / (wide ? 2 : 1), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    text[i] = wide ? QChar(static_cast<char16_t>(static_cast<quint8>(chars[2 * i]) |
                                                 (static_cast<quint8>(chars[2 * i + 1]) << 8)))
                   : QChar(static_cast<char16_t>(static_cast<quint8>(chars[i])));
  }
  return text;
}

// The short sheet name of BOUNDSHEET: a one-byte length.
QString ShortString(const Bytes& data, qsizetype at) {
  const int length = data.U8(at);
  const bool wide = (data.U8(at + 1) & 1) != 0;
  QString text;
  for (int i = 0; i < length; ++i) {
    const qsizetype place = at + 2 + (wide ? 2 * i : i);
    if (!data.Has(place, wide ? 2 : 1)) break;
    text += QChar(wide ? data.U16(place) : data.U8(place));
  }
  return text;
}

// A compact number: a 30-bit integer or the top of a double, perhaps /100.
double RkValue(quint32 rk) {
  double value;
  if (rk & 2) {
    value = static_cast<double>(static_cast<qint32>(rk) >> 2);
  } else {
    const quint64 bits = static_cast<quint64>(rk & 0xFFFFFFFCU) << 32;
    std::memcpy(&value, &bits, sizeof value);
  }
  return (rk & 1) ? value / 100 : value;
}

struct Globals {
  struct Sheet {
    quint32 offset;
    QString name;
  };
  std::vector<Sheet> sheets;
  std::vector<QString> strings;
  std::vector<bool> date_styles;  // by XF index
  bool from_1904 = false;
  bool encrypted = false;
};

bool ReadGlobals(QByteArrayView stream, Globals& globals) {
  Records records(stream, 0);
  const auto bof = records.Next();
  if (!bof || bof->type != kBof || Bytes(bof->data).U16(0) != 0x0600) return false;
  QHash<int, bool> date_formats;
  std::vector<int> xf_formats;
  while (const auto record = records.Next()) {
    const Bytes data(record->data);
    switch (record->type) {
      case kEof:
        for (const int format : xf_formats) {
          globals.date_styles.push_back(IsBuiltInDateFormat(format) ||
                                        date_formats.value(format, false));
        }
        return true;
      case kFilePass:
        globals.encrypted = true;
        return true;
      case kDateMode:
        globals.from_1904 = data.U16(0) == 1;
        break;
      case kBoundSheet:
        // Worksheets only; charts and macro sheets hold no table.
        if (data.U8(5) == 0) globals.sheets.push_back({data.U32(0), ShortString(data, 6)});
        break;
      case kFormat:
        date_formats.insert(data.U16(0), IsDateFormatCode(UnicodeString(data, 2)));
        break;
      case kXf:
        xf_formats.push_back(data.U16(2));
        break;
      case kSst: {
        std::vector<QByteArrayView> parts{record->data.sliced(std::min<qsizetype>(8, data.size()))};
        while (records.PeekType() == kContinue) {
          const auto next = records.Next();
          if (!next) break;  // cut short: the loop would never end
          parts.push_back(next->data);
        }
        Continued in(std::move(parts));
        const quint32 count = data.U32(4);
        for (quint32 i = 0; i < count && !in.AtEnd(); ++i) {
          auto text = SharedString(in);
          if (!text) break;
          globals.strings.push_back(std::move(*text));
        }
        break;
      }
      default:
        break;
    }
  }
  return false;
}

// The cells of the sheet whose BOF is at the offset, until its EOF.
bool ReadSheet(QByteArrayView stream, const Globals& globals, quint32 offset,
               StatementTable& table) {
  Records records(stream, offset);
  const auto bof = records.Next();
  if (!bof || bof->type != kBof) return false;
  int depth = 1;  // a chart inside the sheet has its own BOF and EOF
  const auto number_text = [&](int style, double value) {
    const bool date = style >= 0 && static_cast<size_t>(style) < globals.date_styles.size() &&
                      globals.date_styles[static_cast<size_t>(style)];
    return date ? SerialDateText(value + (globals.from_1904 ? 1462 : 0)) : NumberText(value);
  };
  while (const auto record = records.Next()) {
    const Bytes data(record->data);
    if (record->type == kBof) ++depth;
    if (record->type == kEof && --depth == 0) return true;
    if (depth != 1 || data.size() < 6) continue;
    const int row = data.U16(0);
    const int column = data.U16(2);
    const int style = data.U16(4);
    switch (record->type) {
      case kLabelSst: {
        const quint32 index = data.U32(6);
        if (index < globals.strings.size()) PutCell(table, row, column, globals.strings[index]);
        break;
      }
      case kLabel:
      case kRString:
        PutCell(table, row, column, UnicodeString(data, 6));
        break;
      case kNumber:
        if (data.Has(6, 8)) PutCell(table, row, column, number_text(style, data.F64(6)));
        break;
      case kRk:
        if (data.Has(6, 4)) PutCell(table, row, column, number_text(style, RkValue(data.U32(6))));
        break;
      case kMulRk:
        // Style and value for each column from the first on; the last
        // column's number closes the record.
        for (qsizetype at = 4, c = column; data.Has(at, 6 + 2); at += 6, ++c) {
          PutCell(table, row, c, number_text(data.U16(at), RkValue(data.U32(at + 2))));
        }
        break;
      case kFormula:
        if (!data.Has(6, 8)) break;
        if (data.U16(12) != 0xFFFF) {
          PutCell(table, row, column, number_text(style, data.F64(6)));
        } else if (data.U8(6) == 0 && records.PeekType() == kString) {
          // A text result follows in a record of its own.
          if (const auto text = records.Next()) {
            PutCell(table, row, column, UnicodeString(Bytes(text->data), 0));
          }
        }
        break;
      default:
        break;
    }
  }
  return false;
}

struct GObjectDeleter {
  void operator()(void* object) const {
    if (object) g_object_unref(object);
  }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

// The workbook stream of the compound file; empty when there is none.
QByteArray WorkbookStream(const QByteArray& bytes) {
  GObjectPtr<GsfInput> input(gsf_input_memory_new(
      reinterpret_cast<const guint8*>(bytes.constData()), bytes.size(), false));
  if (!input) return {};
  GObjectPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), nullptr));
  if (!ole) return {};
  GObjectPtr<GsfInput> stream;
  for (int i = 0; i < gsf_infile_num_children(ole.get()) && !stream; ++i) {
    const char* name = gsf_infile_name_by_index(ole.get(), i);
    if (name && g_ascii_strcasecmp(name, "Workbook") == 0)
      stream.reset(gsf_infile_child_by_index(ole.get(), i));
  }
  // A stream larger than its file shares sectors with itself: damaged.
  if (!stream || gsf_input_size(stream.get()) > bytes.size()) return {};
  QByteArray out(static_cast<qsizetype>(gsf_input_size(stream.get())), Qt::Uninitialized);
  if (!out.isEmpty() && !gsf_input_read(stream.get(), static_cast<size_t>(out.size()),
                                        reinterpret_cast<guint8*>(out.data()))) {
    return {};
  }
  return out;
}

}  // namespace

StatementRead ReadXlsBytes(const QByteArray& bytes, const QString& name, int sheet) {
  const QByteArray stream = WorkbookStream(bytes);
  if (stream.isEmpty()) return StatementRead::Failed(Unreadable(name));
  return reader::ReadBiffStream(stream, name, sheet);
}

StatementRead reader::ReadBiffStream(const QByteArray& stream, const QString& name, int sheet) {
  StatementRead read;
  Globals globals;
  if (!ReadGlobals(stream, globals)) return StatementRead::Failed(Unreadable(name));
  if (globals.encrypted) {
    return StatementRead::Failed(QStringLiteral("הקובץ ") + name +
                                 QStringLiteral(" מוגן בסיסמה; יש לשמור אותו בלי סיסמה"));
  }
  if (globals.sheets.empty()) return StatementRead::Failed(Unreadable(name));
  for (const auto& one : globals.sheets) read.sheets << one.name;
  read.sheet = ChooseSheet(sheet, 0, static_cast<int>(globals.sheets.size()));
  if (read.sheet < 0) return StatementRead::Failed(NoSuchSheet(name, sheet), read.sheets);
  if (!ReadSheet(stream, globals, globals.sheets[static_cast<size_t>(read.sheet)].offset,
                 read.table)) {
    return StatementRead::Failed(Unreadable(name));
  }
  return read;
}

}  // namespace cheque
