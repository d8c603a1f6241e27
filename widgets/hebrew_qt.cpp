#include "widgets/hebrew_qt.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace cheque {
namespace {

// Texts the Hebrew catalogues of Qt 6.4 leave in English.
class MissingQtHebrew : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    struct Text {
      const char* context;
      const char* source;
      const char16_t* hebrew;
    };
    static constexpr Text kTexts[] = {
        {"QPlatformTheme", "Don't Save", u"אל תשמור"},
        {"QPlatformTheme", "Close without Saving", u"סגור בלי לשמור"},
        {"QFileDialog", "Date Modified", u"תאריך שינוי"},
        {"QFileDialog", "Computer", u"מחשב"},
    };
    for (const Text& text : kTexts) {
      if (std::strcmp(context, text.context) == 0 && std::strcmp(source, text.source) == 0) {
        return QString::fromUtf16(text.hebrew);
      }
    }
    return {};
  }
};

}  // namespace

void InstallQtHebrew(QCoreApplication& app) {
  // Asked last, so Qt's own catalogues speak first where they can.
  QCoreApplication::installTranslator(new MissingQtHebrew(&app));
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const char* name : {"qt_he", "qtbase_he"}) {
    auto* catalogue = new QTranslator(&app);
    if (catalogue->load(QString::fromLatin1(name), folder)) {
      QCoreApplication::installTranslator(catalogue);
    } else {
      delete catalogue;
    }
  }
  if (qobject_cast<QGuiApplication*>(&app) != nullptr) {
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
  }
}

}  // namespace cheque
