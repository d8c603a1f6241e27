#include "widgets/path_text.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace cheque {
namespace {

constexpr QChar kLeftToRightIsolate(0x2066);
constexpr QChar kPopDirectionalIsolate(0x2069);
constexpr QChar kLeftToRightMark(0x200E);

// Qt's own picker builds its controls when first shown; a desktop's native
// one has none and reads paths its own way.
class FilePicker : public QFileDialog {
 public:
  FilePicker(QWidget* parent, const QString& caption, const QString& folder, const QString& filters)
      : QFileDialog(parent, caption, folder, filters) {
    setObjectName(QStringLiteral("FilePicker"));
  }

  QString Pick() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) return {};
    return selectedFiles().constFirst();
  }

 protected:
  void showEvent(QShowEvent* event) override {
    for (const char* name : {"lookInCombo", "fileNameEdit", "fileTypeCombo"}) {
      ShowPathLeftToRight(findChild<QWidget*>(QString::fromLatin1(name)));
    }
    QFileDialog::showEvent(event);
  }
};

}  // namespace

QString PathText(const QString& path) {
  // A slash between two Hebrew folder names would join them into one
  // right-to-left run and swap them; marks on both sides keep it in line.
  QString shown = path;
  shown.replace(u'/', QString(kLeftToRightMark) + u'/' + kLeftToRightMark);
  // Marks at both ends too: Qt 6.4's layout does not keep the isolate.
  return QString(kLeftToRightIsolate) + kLeftToRightMark + shown + kLeftToRightMark +
         kPopDirectionalIsolate;
}

QString PlainPath(const QString& shown) {
  QString path = shown;
  for (const QChar mark : {kLeftToRightIsolate, kPopDirectionalIsolate, kLeftToRightMark}) {
    path.remove(mark);
  }
  return path;
}

void ShowPathLeftToRight(QWidget* control) {
  if (control == nullptr) return;
  control->setLayoutDirection(Qt::LeftToRight);
  if (auto* box = qobject_cast<QComboBox*>(control)) {
    box->view()->setLayoutDirection(Qt::LeftToRight);
    if (QLineEdit* edit = box->lineEdit()) edit->setLayoutDirection(Qt::LeftToRight);
  }
}

QString PickFileToOpen(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filters) {
  FilePicker picker(parent, caption, folder, filters);
  picker.setAcceptMode(QFileDialog::AcceptOpen);
  picker.setFileMode(QFileDialog::ExistingFile);
  return picker.Pick();
}

QString PickFileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filters, QString* chosen_filter) {
  const QFileInfo file(suggested);
  FilePicker picker(parent, caption, suggested.isEmpty() ? QString() : file.absolutePath(),
                    filters);
  picker.setAcceptMode(QFileDialog::AcceptSave);
  picker.setFileMode(QFileDialog::AnyFile);
  if (!suggested.isEmpty()) picker.selectFile(file.fileName());
  QString path = picker.Pick();
  if (chosen_filter != nullptr) *chosen_filter = picker.selectedNameFilter();
  return path;
}

}  // namespace cheque
