#pragma once
// Pieces the chart windows share: the check lists whose entries toggle on a click anywhere on
// them, the picture that a window paints with its chart's paint routine, and saving and copying
// a chart's picture.

#include <QListWidget>
#include <functional>
#include <string>
#include <vector>

#include "charts/chart_players.h"

class QImage;
class QToolButton;

namespace velmora {
class TUserInterface;
}

namespace velmora::gui {

class TFileDialog;

// A list of ticked entries. A click on an entry, on its box or its text, or Space toggles it once:
// the list asks its owner through the toggle handler and shows the ticks it is given back.
class TCheckList : public QListWidget {
 public:
  using TToggleHandler = std::function<void(int row)>;

  explicit TCheckList(QWidget* parent = nullptr);

  void SetToggleHandler(TToggleHandler handler) { OnToggle_ = std::move(handler); }
  void SetEntries(const std::vector<std::string>& captions);
  void SetTicks(const std::vector<bool>& ticks);
  // The players as entries, ticked when selected; then only their ticks again.
  void SetPlayers(const std::vector<TChartPlayer>& players);
  void ShowSelection(const std::vector<TChartPlayer>& players);
  std::vector<bool> Ticks() const;
  // Toggles the entry as a click on it does.
  void ToggleRow(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TToggleHandler OnToggle_;
};

// A picture painted by its owner into its whole rectangle.
class TChartPicture : public QWidget {
 public:
  using TPainter = std::function<void(QPainter& painter, const QRectF& target)>;

  explicit TChartPicture(QSize size, QWidget* parent = nullptr);
  void SetPainter(TPainter painter) { Paint_ = std::move(painter); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TPainter Paint_;
};

// A small button with a ticked (select all) or empty (select none) box on it and its hint.
QToolButton* TickButton(bool ticked, const QString& hint, const QString& name, QWidget* parent);

// The save dialog of every chart: "Guardar como", JPEG files.
TFileDialog ChartSaveDialog();
// Asks for a file and writes the picture there as JPEG; tells the operator where it went, or that
// it could not be written.
void SaveChartPicture(QWidget* parent, TFileDialog& dialog, TUserInterface& ui, const QImage& picture);
// Puts the picture on the clipboard.
void CopyChartPicture(const QImage& picture);

}  // namespace velmora::gui
