#include "live/history_list_box.h"

#include <QFontMetrics>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "widgets/scaling.h"

namespace velmora::gui {

namespace {

const QString kDeleteText = QStringLiteral("Elminar");
const QString kSeparatorText = QStringLiteral(" | ");
const QString kEditText = QStringLiteral("Editar");
const QString kEllipsis = QStringLiteral("...");

class THistoryLineDelegate final : public QStyledItemDelegate {
 public:
  explicit THistoryLineDelegate(THistoryListBox* list) : QStyledItemDelegate(list), List_(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), std::max(Scaled(13), option.fontMetrics.height())};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect line = option.rect;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool notSent = index.data(kNotSentRole).toBool();
    painter->save();
    painter->fillRect(line, selected ? option.palette.highlight() : option.palette.base());

    QFont font = option.font;
    font.setBold(notSent);
    QFont hotSpot = option.font;
    hotSpot.setUnderline(true);
    const QFontMetrics metrics(font);
    const QFontMetrics hotMetrics(hotSpot);
    const QFontMetrics plainMetrics(option.font);
    THistoryListBox::TGeometry geometry;
    geometry.UsableWidth = line.width() - 3;
    geometry.DeleteWidth = hotMetrics.horizontalAdvance(kDeleteText);
    geometry.SeparatorWidth = plainMetrics.horizontalAdvance(kSeparatorText);
    geometry.EditWidth = hotMetrics.horizontalAdvance(kEditText);
    List_->SetGeometry(geometry);

    const int right = line.right() + 1;
    const int hotSpots = geometry.DeleteWidth + geometry.SeparatorWidth + geometry.EditWidth;
    const int clip = right - hotSpots - 3;
    const QString text = index.data(Qt::DisplayRole).toString();
    const QColor ink = selected ? QColor(Qt::white) : notSent ? QColor(Qt::red) : QColor(Qt::black);
    painter->setFont(font);
    painter->setPen(ink);
    const QRect textArea(line.left() + 3, line.top(), clip - line.left() - 3, line.height());
    if (metrics.horizontalAdvance(text) > textArea.width()) {
      const int ellipsis = metrics.horizontalAdvance(kEllipsis);
      painter->setClipRect(QRect(textArea.left(), line.top(), textArea.width() - ellipsis, line.height()));
      painter->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text);
      painter->setClipping(false);
      painter->drawText(QRect(clip - ellipsis, line.top(), ellipsis, line.height()), Qt::AlignLeft | Qt::AlignVCenter,
                        kEllipsis);
    } else {
      painter->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text);
    }

    const QColor spot = selected ? QColor(Qt::white) : QColor(0, 0, 238);
    const auto draw = [&](const QString& what, const QFont& with, int left, int width) {
      painter->setFont(with);
      painter->drawText(QRect(left, line.top(), width, line.height()), Qt::AlignLeft | Qt::AlignVCenter, what);
    };
    painter->setPen(spot);
    draw(kDeleteText, hotSpot, right - 3 - geometry.DeleteWidth, geometry.DeleteWidth);
    draw(kEditText, hotSpot, right - 3 - hotSpots, geometry.EditWidth);
    painter->setPen(ink);
    draw(kSeparatorText, option.font, right - 3 - geometry.DeleteWidth - geometry.SeparatorWidth,
         geometry.SeparatorWidth);
    painter->restore();
  }

 private:
  THistoryListBox* List_;
};

}  // namespace

THistoryListBox::THistoryListBox(QWidget* parent) : QListView(parent) {
  setObjectName(QStringLiteral("HistoryBox"));
  setItemDelegate(new THistoryLineDelegate(this));
  setUniformItemSizes(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  QFont small = font();
  small.setPixelSize(Scaled(11));
  setFont(small);
}

void THistoryListBox::Undo() {
  if (isSignalConnected(QMetaMethod::fromSignal(&THistoryListBox::UndoRequested))) {
    emit UndoRequested();
  } else if (model() && model()->rowCount() > 0) {
    emit DeleteRequested(0);
  }
}

void THistoryListBox::mousePressEvent(QMouseEvent* event) {
  QListView::mousePressEvent(event);
  if (!model() || model()->rowCount() == 0) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  const int x = event->position().toPoint().x();
  const TGeometry& g = Geometry_;
  if (x > g.UsableWidth - g.DeleteWidth) {
    emit DeleteRequested(index.row());
  } else if (x > g.UsableWidth - g.DeleteWidth - g.SeparatorWidth - g.EditWidth &&
             x < g.UsableWidth - g.DeleteWidth - g.SeparatorWidth) {
    emit EditRequested(index.row());
  }
}

}  // namespace velmora::gui
