#include "bench/account_generator.h"

#include <QDate>
#include <QDir>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/files/line_file.h"
#include "core/text/amount.h"
#include "core/text/codec.h"

namespace cheque::bench {
namespace {

// "group\category" paths of a tree file: a line without a leading tab is a
// group, a line with one is a category of the group above.
std::vector<std::string> CategoryPaths(const QString& path) {
  std::vector<std::string> paths;
  const auto bytes = ReadFileBytes(path);
  if (!bytes) return paths;
  LineReader reader(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));
  std::string group;
  while (!reader.AtEnd()) {
    const std::string_view line = reader.Next();
    if (line.empty()) continue;
    if (line.front() == '\t') {
      paths.push_back(group + '\\' + std::string(line.substr(line.find_first_not_of('\t'))));
    } else {
      group = std::string(line);
      paths.push_back(group);
    }
  }
  return paths;
}

std::vector<std::string> Encode(std::initializer_list<QStringView> texts) {
  std::vector<std::string> out;
  for (const QStringView text : texts) out.push_back(EncodeWin1255(text));
  return out;
}

std::string DateText(QDate date) {
  return std::to_string(date.day()) + '/' + std::to_string(date.month()) + '/' +
         std::to_string(date.year());
}

std::string Amount(double value) {
  std::string text;
  AppendFormattedAmount(value, text);
  return text;
}

void AppendRecord(std::string& out, const std::string& balance, const std::string& category,
                  const std::string& type, const std::string& date, const std::string& income,
                  const std::string& expense, const std::string& description,
                  const std::string& mark) {
  for (const std::string* field :
       {&balance, &category, &type, &date, &income, &expense, &description, &mark}) {
    out += *field;
    out += "\r\n";
  }
}

}  // namespace

QByteArray GenerateAccountFile(int transactions, const QString& assets_folder, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> categories =
      CategoryPaths(QDir(assets_folder).filePath(QStringLiteral("DCateg.dat")));
  const std::vector<std::string> business =
      CategoryPaths(QDir(assets_folder).filePath(QStringLiteral("DCategB.dat")));
  categories.insert(categories.end(), business.begin(), business.end());
  if (categories.empty()) categories = Encode({u"שונות"});
  const auto descriptions =
      Encode({u"סופרמרקט שכונתי", u"חשמל חודשי",   u"מים וביוב",  u"ארנונה",       u"דלק לרכב",
              u"משכורת",          u"שכר דירה",     u"ביטוח רכב",  u"קופת חולים",   u"ספק חומרי גלם",
              u"החזר הוצאות",     u"מסעדה",        u"טלפון נייד", u"אינטרנט",      u"גן ילדים",
              u"מתנה לחתונה",     u"תיקון מכונית", u"ועד בית",    u"מע\"מ לתשלום", u"לקוח קבוע"});
  const auto types =
      Encode({u"אחר", u"מזומן", u"אשראי", u"הלוואה", u"הו\"ק", u"חיוב בנק", u"משכנתא", u"העברה"});
  const std::string cheque_type = EncodeWin1255(u"שק");
  const std::string balance_type = EncodeWin1255(u"יתרה");
  const std::string bank_category = EncodeWin1255(u"בנק\\יתרה");
  const std::string bank_description = EncodeWin1255(u"יתרה בבנק");
  const std::string opening = EncodeWin1255(u"יתרת פתיחה");

  // About twenty years of activity, however many rows there are.
  const QDate first(2006, 1, 1);
  const int days = 20 * 365;
  const QDate today = first.addDays(days - 20);
  std::string out;
  out.reserve(static_cast<size_t>(transactions) * 96);
  double balance = 5000;
  AppendRecord(out, Amount(balance), bank_category, opening, DateText(first.addDays(-1)), {}, {},
               opening, "+");
  long cheque_number = 1000100;
  int month = first.month();
  for (int i = 1; i < transactions; ++i) {
    const QDate date = first.addDays(static_cast<qint64>(i) * days / transactions);
    if (date.month() != month && date < today) {
      // The real balance on the last day of the month before.
      month = date.month();
      const double real = balance + static_cast<double>(rng() % 3 == 0 ? rng() % 200 : 0);
      AppendRecord(out, Amount(real), bank_category, balance_type, DateText(date.addDays(-1)), {},
                   {}, bank_description, "+");
      balance = real;
      if (++i >= transactions) break;
    }
    const bool is_income = rng() % 5 == 0;
    const double amount = is_income ? static_cast<double>(rng() % 900000) / 100.0 + 1000
                                    : static_cast<double>(rng() % 250000) / 100.0 + 5;
    balance += is_income ? amount : -amount;
    std::string type;
    if (!is_income && rng() % 3 == 0) {
      type = cheque_type + ' ' + std::to_string(cheque_number++);
    } else {
      type = types[rng() % types.size()] + ' ';
    }
    const qint64 age = date.daysTo(today);
    const char* mark = age < 0 ? "?" : (age < 45 || rng() % 50 == 0) ? "" : "+";
    AppendRecord(out, Amount(balance), categories[rng() % categories.size()], type, DateText(date),
                 is_income ? Amount(amount) : std::string(),
                 is_income ? std::string() : Amount(amount),
                 descriptions[rng() % descriptions.size()], mark);
  }
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

}  // namespace cheque::bench
