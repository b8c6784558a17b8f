#pragma once
// The bar of action buttons ("pnl_Actions"): rows of at most five buttons with a raised separator
// after each group, laid out again whenever the window's width changes.

#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "live/action_definitions.h"

class QFrame;

namespace velmora::gui {

class TActionBar : public QWidget {
  Q_OBJECT

 public:
  explicit TActionBar(QWidget* parent = nullptr);

  // Removes every button.
  void Clear();
  // A new button for definition `number` (from 1) in `group`; the handler gets the number.
  QPushButton* AddButton(int number, const QString& caption, int group, std::function<void(int)> onClick);
  // The button of the definition, or none when it has none.
  QPushButton* Button(int number) const;
  // Releases every button but `keep`.
  void ReleaseAll(QPushButton* keep = nullptr);
  void SetButtonsEnabled(bool enabled);
  void LayoutActionButtons();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct TEntry {
    int Number;
    int Group;
    QPushButton* Button;
  };
  std::vector<TEntry> Entries_;
  std::array<QFrame*, kActionGroups> Separators_{};
  int Rows_ = 0;
};

}  // namespace velmora::gui
