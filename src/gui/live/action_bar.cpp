#include "live/action_bar.h"

#include <QFrame>

#include "widgets/scaling.h"

namespace velmora::gui {

namespace {
constexpr int kButtonHeight = 32;
constexpr int kRowHeight = 33;
constexpr int kSeparatorWidth = 5;
}  // namespace

TActionBar::TActionBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnl_Actions"));
  for (std::size_t group = 0; group < Separators_.size(); ++group) {
    auto* separator = new QFrame(this);
    separator->setFrameStyle(QFrame::VLine | QFrame::Raised);
    separator->setObjectName(QStringLiteral("ActionSeparator") + QString::number(group + 1));
    separator->hide();
    Separators_[group] = separator;
  }
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TActionBar::Clear() {
  for (const TEntry& entry : Entries_) entry.Button->deleteLater();
  Entries_.clear();
  LayoutActionButtons();
}

QPushButton* TActionBar::AddButton(int number, const QString& caption, int group, std::function<void(int)> onClick) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QStringLiteral("ActionButton") + QString::number(number));
  button->setCheckable(true);
  button->setFocusPolicy(Qt::NoFocus);
  QFont small = button->font();
  small.setPixelSize(Scaled(11));
  button->setFont(small);
  connect(button, &QPushButton::clicked, this, [onClick, number] { onClick(number); });
  button->show();
  Entries_.push_back({number, group, button});
  return button;
}

QPushButton* TActionBar::Button(int number) const {
  for (const TEntry& entry : Entries_) {
    if (entry.Number == number) return entry.Button;
  }
  return nullptr;
}

void TActionBar::ReleaseAll(QPushButton* keep) {
  for (const TEntry& entry : Entries_) {
    if (entry.Button != keep) entry.Button->setChecked(false);
  }
}

void TActionBar::SetButtonsEnabled(bool enabled) {
  for (const TEntry& entry : Entries_) entry.Button->setEnabled(enabled);
}

void TActionBar::LayoutActionButtons() {
  std::vector<int> groups;
  for (const TEntry& entry : Entries_) groups.push_back(entry.Group);
  const std::vector<TBarRow> rows = LayoutActionBar(groups);
  for (QFrame* separator : Separators_) separator->hide();
  const double scale = ScreenScale();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int buttons = 0;
    int separators = 0;
    for (const TBarSlot& slot : rows[r]) (slot.Separator ? separators : buttons) += 1;
    const int usable = width() - static_cast<int>(kSeparatorWidth * scale) * separators - 1;
    const int buttonWidth = buttons > 0 ? usable / buttons : 0;
    const int top = static_cast<int>(r * kRowHeight * scale);
    int x = 0;
    for (const TBarSlot& slot : rows[r]) {
      if (slot.Separator) {
        QFrame* separator = Separators_[static_cast<std::size_t>(slot.Index - 1)];
        separator->setGeometry(x + 1, top, static_cast<int>(3 * scale), static_cast<int>(kButtonHeight * scale));
        separator->show();
        x += static_cast<int>(kSeparatorWidth * scale);
      } else {
        QPushButton* button = Entries_[static_cast<std::size_t>(slot.Index)].Button;
        button->setGeometry(x, top, buttonWidth, static_cast<int>(kButtonHeight * scale));
        x += buttonWidth;
      }
    }
  }
  if (static_cast<int>(rows.size()) != Rows_) {
    Rows_ = static_cast<int>(rows.size());
    updateGeometry();
  }
}

QSize TActionBar::sizeHint() const { return {Scaled(400), Scaled(Rows_ * kRowHeight + 3)}; }

void TActionBar::resizeEvent(QResizeEvent*) { LayoutActionButtons(); }

}  // namespace velmora::gui
