#pragma once
// A team's score as three scoreboard digits on a black plate, drawn at any scale.

#include <QString>
#include <QWidget>

namespace velmora::gui {

class TScoreDisplay : public QWidget {
 public:
  explicit TScoreDisplay(QWidget* parent = nullptr);

  // Three characters "0" to "9"; other characters draw as an unlit digit.
  void SetDigits(const QString& digits);
  const QString& Digits() const { return Digits_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString Digits_ = QStringLiteral("000");
};

}  // namespace velmora::gui
