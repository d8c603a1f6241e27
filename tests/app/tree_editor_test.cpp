#include "app/categories/tree_editor.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "app/cheques/category_outline.h"
#include "app/register/register_page.h"
#include "app/register/transaction_dialog.h"
#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "core/files/account_list.h"
#include "core/files/line_file.h"
#include "core/files/personal_details.h"
#include "tests/app/app_test_support.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kDefaultQuestion =
    u"? האם אתה בטוח שברצונך לטעון את קבוצות ברירת המחדל\r...(נסה קודם לטעון קובץ אחרון)"_s;
const QString kLastQuestion =
    u"? האם אתה בטוח שברצונך לטעון את הקבוצות האחרונות\r...(השינויים האחרונים שביצעת יאבדו)"_s;
// Group A with category a, group C with category c.
const QByteArray kTreeFile = "A\r\n\ta\r\nC\r\n\tc\r\n";

void WriteFile(const QString& path, const QByteArray& bytes) {
  QVERIFY(WriteFileAtomic(path, bytes));
}

QString Paths(const CategoryTree& tree) {
  QStringList paths;
  for (int i = 0; i < tree.Size(); ++i) paths << tree.FullPath(i);
  return paths.join(u'|');
}

QString FilePaths(const QString& path) {
  CategoryTree tree;
  return tree.ReadFile(path) ? Paths(tree) : u"missing"_s;
}

QTreeWidget* Outline(QWidget* window) { return window->findChild<QTreeWidget*>(u"Outline1"_s); }

// The point of the node with this full path in the editor's tree view.
QPoint NodePoint(TEditTree& editor, const QString& path) {
  const int node = editor.Tree().FindPath(path);
  if (node < 0) qFatal("no node %s", qPrintable(path));
  QTreeWidget* tree = Outline(&editor);
  QTreeWidgetItem* item = tree->topLevelItem(0);
  for (int i = 0; i < node; ++i) item = tree->itemBelow(item);
  return tree->visualItemRect(item).center();
}

// A drag arriving over `target` and dropped there, as the drag machinery
// delivers it.
void DropAt(QWidget* target, QPoint point, const QString& format) {
  QMimeData mime;
  mime.setData(format, QByteArray());
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(point, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(point, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

void DragName(TEditTree& editor, QPoint target) {
  QTest::mousePress(editor.findChild<QLabel*>(u"Label2"_s), Qt::LeftButton, {}, QPoint(2, 2));
  DropAt(Outline(&editor)->viewport(), target, TEditTree::kNameMime);
}

void DragNode(TEditTree& editor, const QString& path, QWidget* target, QPoint point) {
  QTest::mousePress(Outline(&editor)->viewport(), Qt::LeftButton, {}, NodePoint(editor, path));
  DropAt(target, point, TEditTree::kNodeMime);
}

void AddName(TEditTree& editor, const QString& name, const QString& onto) {
  TypeInto(&editor, u"Edit2"_s, name);
  DragName(editor, NodePoint(editor, onto));
}

// Runs the editor modally on one kind's tree with `action` inside it.
int RunEditor(TestHome& home, TEditTree& editor, bool business,
              std::function<void(TEditTree&)> action) {
  ModalScript script;
  script.Expect(u"TEditTree"_s, [&](QWidget* w) { action(*static_cast<TEditTree*>(w)); });
  const int result = editor.EditTree(business);
  if (!script.Done()) qFatal("the editor was not shown");
  home.prompter.Forget();
  return result;
}

}  // namespace

class TreeEditorTest : public QObject {
  Q_OBJECT

 private slots:
  // Each save makes the file as it was the backup of its kind, so two
  // saves in a row leave the first one's tree there.
  void saveKeepsThePreviousFileAsBackup_data() {
    QTest::addColumn<bool>("business");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("backup");
    QTest::addColumn<QString>("other");
    QTest::newRow("private") << false << u"Categ.dat"_s << u"Categ.~da"_s << u"BCateg.dat"_s;
    QTest::newRow("business") << true << u"BCateg.dat"_s << u"BCateg.~da"_s << u"Categ.dat"_s;
  }
  void saveKeepsThePreviousFileAsBackup() {
    QFETCH(bool, business);
    QFETCH(QString, file);
    QFETCH(QString, backup);
    QFETCH(QString, other);
    TestHome home;
    WriteFile(home.Path(file), kTreeFile);
    WriteFile(home.Path(other), "X\r\n");
    TEditTree editor(home.services, nullptr);

    QCOMPARE(RunEditor(home, editor, business,
                       [](TEditTree& e) {
                         AddName(e, u"חדש"_s, u"A"_s);
                         ClickButton(&e, u"שמור"_s);
                       }),
             QDialog::Accepted);
    QCOMPARE(FilePaths(home.Path(file)), u"A|A\\a|A\\חדש|C|C\\c"_s);
    QCOMPARE(ReadFileBytes(home.Path(backup)).value_or("missing"), kTreeFile);

    RunEditor(home, editor, business, [](TEditTree& e) {
      DragNode(e, u"A\\a"_s, Outline(&e)->viewport(), NodePoint(e, u"C\\c"_s));
      ClickButton(&e, u"שמור"_s);
    });
    QCOMPARE(FilePaths(home.Path(file)), u"A|A\\חדש|C|C\\c|C\\a"_s);
    QCOMPARE(FilePaths(home.Path(backup)), u"A|A\\a|A\\חדש|C|C\\c"_s);
    QCOMPARE(FilePaths(home.Path(other)), u"X"_s);
  }

  // The restore questions: No keeps the edits; Yes loads the file when there
  // is one; nothing is written without "שמור".
  void restoreAsksFirstAndWritesNothing() {
    TestHome home;
    WriteFile(home.Path(u"Categ.dat"_s), kTreeFile);
    TEditTree editor(home.services, nullptr);
    QStringList seen;
    const int result = RunEditor(home, editor, false, [&](TEditTree& e) {
      AddName(e, u"n"_s, u"C"_s);
      const QString edited = Paths(e.Tree());
      ClickButton(&e, u"מקורי"_s);
      ClickButton(&e, u"אחרון"_s);
      seen << QString::number(Paths(e.Tree()) == edited);
      home.prompter.Answer(MessageAnswer::kYes);
      ClickButton(&e, u"אחרון"_s);  // there is no backup yet
      seen << QString::number(Paths(e.Tree()) == edited);
      for (const AskedMessage& asked : home.prompter.Asked()) {
        seen << asked.text;
        if (asked.caption != u"לאישורך"_s || asked.buttons != MessageButtons::kYesNoDefaultNo)
          seen << u"wrong box"_s;
      }
      home.prompter.Answer(MessageAnswer::kYes);
      ClickButton(&e, u"מקורי"_s);
      seen << QString::number(Paths(e.Tree()) == FilePaths(home.Path(u"DCateg.dat"_s)));
      seen << QString::number(Outline(&e)->topLevelItem(0)->isExpanded());
      ClickButton(&e, u"בטל"_s);
    });
    QCOMPARE(result, QDialog::Rejected);
    QCOMPARE(seen, (QStringList{u"1"_s, u"1"_s, kDefaultQuestion, kLastQuestion, kLastQuestion,
                                u"1"_s, u"1"_s}));
    QCOMPARE(ReadFileBytes(home.Path(u"Categ.dat"_s)).value_or("missing"), kTreeFile);
    QVERIFY(!FileExists(home.Path(u"Categ.~da"_s)));
  }

  // A tree that cannot be written is reported and the editor stays open
  // with the edits.
  void failedSaveKeepsTheEdits() {
    TestHome home;
    QVERIFY(QDir(home.Path({})).mkdir(u"Categ.dat"_s));
    TEditTree editor(home.services, nullptr);
    QStringList seen;
    RunEditor(home, editor, false, [&](TEditTree& e) {
      AddName(e, u"n"_s, u"אשראי"_s);
      ClickButton(&e, u"שמור"_s);
      seen << QString::number(e.isVisible())
           << QString::number(e.Tree().FindPath(u"אשראי\\n"_s) >= 0);
      seen << home.prompter.Asked().at(0).caption;
      ClickButton(&e, u"בטל"_s);
    });
    QCOMPARE(seen, (QStringList{u"1"_s, u"1"_s, u"שגיאה"_s}));
    QVERIFY(!FileExists(home.Path(u"Categ.~da"_s)));
  }

  // The drops as the tree view and the bin receive them.
  void dragAndDrop() {
    TestHome home;
    WriteFile(home.Path(u"Categ.dat"_s), kTreeFile);
    TEditTree editor(home.services, nullptr);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto* label = editor.findChild<QLabel*>(u"Label2"_s);
    QWidget* viewport = Outline(&editor)->viewport();
    QWidget* bin = editor.findChild<QWidget*>(u"Image1"_s);
    QCOMPARE(label->text(), QString());  // the name box starts empty

    TypeInto(&editor, u"Edit2"_s, u"חדש"_s);
    QCOMPARE(label->text(), u"חדש"_s);
    DragName(editor, NodePoint(editor, u"C\\c"_s));
    QCOMPARE(Paths(editor.Tree()), u"A|A\\a|C|C\\c|C\\c\\חדש"_s);
    // Below the last node: a category of its own, moved above the groups.
    DragName(editor, QPoint(5, viewport->height() - 3));
    QCOMPARE(Paths(editor.Tree()), u"חדש|A|A\\a|C|C\\c|C\\c\\חדש"_s);

    // The group left empty is a category of its own and stays below "חדש".
    DragNode(editor, u"A\\a"_s, viewport, NodePoint(editor, u"C"_s));
    QCOMPARE(Paths(editor.Tree()), u"חדש|A|C|C\\c|C\\c\\חדש|C\\a"_s);
    // A group is not dragged, a drop without a press carries nothing, a new
    // name is not thrown away.
    const QString before = Paths(editor.Tree());
    DragNode(editor, u"C"_s, bin, QPoint(5, 5));
    DropAt(viewport, NodePoint(editor, u"A"_s), TEditTree::kNodeMime);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(2, 2));
    DropAt(bin, QPoint(5, 5), TEditTree::kNameMime);
    QCOMPARE(Paths(editor.Tree()), before);

    DragNode(editor, u"C\\a"_s, bin, QPoint(5, 5));
    QCOMPARE(Paths(editor.Tree()), u"חדש|A|C|C\\c|C\\c\\חדש"_s);
    QCOMPARE(Outline(&editor)->topLevelItemCount(), 3);
    QVERIFY(!FileExists(home.Path(u"Categ.~da"_s)));
  }

  // "עריכה" in the transaction dialog runs the editor on the account's tree;
  // when it closes the dialog shows the saved tree.
  void dialogTreeFollowsTheEditor() {
    TestHome home;
    PersonalDetails details;
    details.first_name = u"דנה"_s;
    QVERIFY(details.Write(home.Path(u"AcMyData.Dat"_s)));
    AccountDefinition account;
    account.name = u"עסק"_s;
    account.file_base = u"Xct1"_s;
    account.business = true;
    AccountList list;
    list.Append(account);
    QVERIFY(list.Write(home.Path(u"Accts.dat"_s)));
    WriteFile(home.Path(u"BCateg.dat"_s), kTreeFile);

    TForm1 window(home.services);
    window.show();
    ModalScript script;
    script.Expect(u"TIntroScr"_s, [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(0); });
    QVERIFY(window.Start());
    QSignalSpy changed(&window, &TForm1::CategoryTreeChanged);
    QStringList seen;
    script.Expect(u"TDateFrm"_s, [&](QWidget* w) {
      QTest::mouseClick(w->findChild<QPushButton*>(u"SpeedButton1"_s), Qt::LeftButton);
      seen << Paths(window.DateForm().Tree())
           << QString::number(Outline(w)->topLevelItem(0)->child(1) != nullptr);
      ClickButton(w, u"ביטול"_s);
    });
    script.Expect(u"TEditTree"_s, [](QWidget* w) {
      auto& editor = *static_cast<TEditTree*>(w);
      AddName(editor, u"חדש"_s, u"A"_s);
      ClickButton(w, u"שמור"_s);
    });
    window.RegisterView().NewRecord();
    QVERIFY(script.Done());
    QCOMPARE(seen, (QStringList{u"A|A\\a|A\\חדש|C|C\\c"_s, u"1"_s}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(FilePaths(home.Path(u"BCateg.~da"_s)), u"A|A\\a|C|C\\c"_s);
    // The cheque page's tree follows too.
    auto* cheque_tree = window.findChild<CategoryOutline*>();
    QVERIFY(cheque_tree != nullptr);
    QCOMPARE(Paths(cheque_tree->Tree()), u"A|A\\a|A\\חדש|C|C\\c"_s);
  }
};

QTEST_MAIN(TreeEditorTest)
#include "tree_editor_test.moc"
