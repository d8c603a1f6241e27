#pragma once

// A program folder with one account, "בית", and the main window started on
// its register: what the register page tests share.
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "app/register/register_page.h"
#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "core/files/account_list.h"
#include "core/files/personal_details.h"
#include "core/register/register.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {

struct Row {
  QString balance, income, expense, type, category, description, date, mark;
};

inline const QString kBank = QStringLiteral("בנק\\יתרה");

// A program folder with one account whose file holds these rows.
inline void PrepareHome(TestHome& home, const std::vector<Row>& rows) {
  PersonalDetails details;
  details.first_name = QStringLiteral("דנה");
  QVERIFY(details.Write(home.Path(QStringLiteral("AcMyData.Dat"))));
  AccountDefinition account;
  account.name = QStringLiteral("בית");
  account.file_base = QStringLiteral("Xct1");
  account.opening_balance = QStringLiteral("1000");
  account.credit_limit = QStringLiteral("3000");
  AccountList list;
  list.Append(account);
  QVERIFY(list.Write(home.Path(QStringLiteral("Accts.dat"))));
  Register reg;
  for (const Row& row : rows) {
    const int r = reg.RowCount() - 1;
    const QString cells[] = {{},           row.balance,     row.income, row.expense, row.type,
                             row.category, row.description, row.date,   row.mark};
    for (int c = kBalanceColumn; c <= kMarkColumn; ++c) reg.SetCell(r, c, cells[c]);
    reg.AddEmptyRow();
  }
  QVERIFY(SaveAccountFile(home.Path(QStringLiteral("Xct1.dat")), reg));
}

struct Started {
  TestHome home;
  TForm1 window{home.services};
  RegisterGrid& grid() { return window.Grid(); }
  const Register& reg() { return window.ActiveRegister(); }
  QToolButton* Tool(const char16_t* name) {
    return window.findChild<QToolButton*>(QString::fromUtf16(name));
  }
};

inline bool Start(Started& s, const std::vector<Row>& rows) {
  PrepareHome(s.home, rows);
  s.window.show();
  ModalScript script;
  script.Expect(QStringLiteral("TIntroScr"),
                [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(0); });
  return s.window.Start() && script.Done() && QTest::qWaitForWindowExposed(&s.window);
}

// Confirms the transaction dialog as a user would: OK takes the focus first.
inline void PressOk(QWidget* dialog) {
  auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("BtnOk"));
  ok->setFocus();
  ok->click();
}

inline QStringList Column(const Register& reg, int column) {
  QStringList out;
  for (int r = 0; r < reg.RowCount() - 1; ++r) out << reg.Cell(r, column);
  return out;
}

}  // namespace cheque::testing
