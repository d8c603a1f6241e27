#include "app/shell/about_box.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/help_context.h"
#include "widgets/program_version.h"

namespace cheque {

TAboutBox::TAboutBox(Services& services, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TAboutBox"));
  setWindowTitle(QStringLiteral("About"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 16, 20, 12);
  const auto add_line = [&](const QString& name, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return label;
  };
  QLabel* product = add_line(QStringLiteral("ProductName"), QStringLiteral("תוכנה לניהול תזרים"));
  QFont big = product->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  product->setFont(big);
  add_line(QStringLiteral("Version"), VersionCaption());
  add_line(QStringLiteral("Copyright"), QStringLiteral("Cheque - תוכנת תזרים מזומנים"));
  // There is no web site: the second line leads to the help pages.
  QLabel* help = add_line(QStringLiteral("Comments"),
                          QStringLiteral("<a href=\"help\">דפי העזרה של התוכנית</a>"));
  help->setTextFormat(Qt::RichText);
  connect(help, &QLabel::linkActivated, this,
          [&services] { services.shell->Open(HelpPageUrl(kHelpIndexPage)); });
  auto* ok = new QPushButton(QStringLiteral("אישור"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addSpacing(8);
  layout->addWidget(ok, 0, Qt::AlignCenter);
}

}  // namespace cheque
