#pragma once

#include <QDialog>
#include <QRect>
#include <vector>

#include "app/common/services.h"

class QLabel;

namespace cheque {

// The launcher: a picture with four hot areas (register, cheques, reports,
// exit). exec() ends Accepted with ChosenPage() set, or Rejected for exit.
class TIntroScr : public QDialog {
  Q_OBJECT

 public:
  explicit TIntroScr(Services& services, QWidget* parent = nullptr);

  int ChosenPage() const { return chosen_page_; }
  // Clicks a hot area as the user would: 0 register, 1 cheques, 2 reports, 3 exit.
  void ChooseArea(int area);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct HotArea {
    QRect rect;
    QString hint;
    QLabel* highlight;
  };
  Services& services_;
  std::vector<HotArea> areas_;
  int chosen_page_ = 0;
};

}  // namespace cheque
