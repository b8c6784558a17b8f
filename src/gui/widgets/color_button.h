#pragma once
// A push button that draws itself in a colour of its own: the team colours of the match editor.

#include <cstdint>

#include <QColor>
#include <QPushButton>

namespace velmora::gui {

// Team colours are kept as the stored numbers of the original data: 0x00BBGGRR, -1 for none.
QColor ColorFromValue(std::int32_t value);
std::int32_t ValueOfColor(const QColor& color);

class TColorButton : public QPushButton {
  Q_OBJECT

 public:
  explicit TColorButton(const QString& caption, QWidget* parent = nullptr);

  // The fill; the button face colour by default (an invalid colour gives it back).
  void SetBackColor(const QColor& color);
  QColor BackColor() const { return BackColor_.isValid() ? BackColor_ : palette().color(QPalette::Button); }
  // True while the fill is the default one.
  bool HasBackColor() const { return BackColor_.isValid(); }
  // The caption's colour; the button text colour by default.
  void SetTextColor(const QColor& color);
  QColor TextColor() const { return TextColor_.isValid() ? TextColor_ : palette().color(QPalette::ButtonText); }
  // The fill while the mouse is over the button; the button face colour by default.
  void SetHoverColor(const QColor& color);
  QColor HoverColor() const { return HoverColor_.isValid() ? HoverColor_ : palette().color(QPalette::Button); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QColor BackColor_;
  QColor TextColor_;
  QColor HoverColor_;
  bool Hovered_ = false;
};

}  // namespace velmora::gui
