#pragma once
// The history list ("HistoryBox"): one line per action, newest first, drawn with the hot spots
// "Editar" and "Elminar" at the right; lines the server has not received are red and bold. It
// shows any list model whose rows give a text and, optionally, a not-sent mark.

#include <QListView>

namespace velmora::gui {

// The model role of a row's not-sent mark (bool); rows without it count as sent.
inline constexpr int kNotSentRole = Qt::UserRole + 1;

class THistoryListBox : public QListView {
  Q_OBJECT

 public:
  explicit THistoryListBox(QWidget* parent = nullptr);

  // Raises UndoRequested when something listens to it; otherwise the delete of the top line.
  void Undo();
  // The widths the last drawing used: usable line width W and the hot-spot texts.
  struct TGeometry {
    int UsableWidth = 0;
    int DeleteWidth = 0;     // "Elminar"
    int SeparatorWidth = 0;  // " | "
    int EditWidth = 0;       // "Editar"
  };
  const TGeometry& Geometry() const { return Geometry_; }
  void SetGeometry(const TGeometry& geometry) { Geometry_ = geometry; }

 signals:
  void EditRequested(int row);
  void DeleteRequested(int row);
  void UndoRequested();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TGeometry Geometry_;
};

}  // namespace velmora::gui
