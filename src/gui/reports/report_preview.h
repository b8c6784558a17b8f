#pragma once
// The preview box of the report windows: the page shown on a grey desk, with a margin of 5 % of
// the page's width around it and a shadow below. The wheel scrolls by its own delta; a click
// takes the keyboard focus.

#include <QImage>
#include <QScrollArea>

namespace velmora::gui {

class TPreviewPage;

class TReportPreview final : public QScrollArea {
 public:
  explicit TReportPreview(QWidget* parent = nullptr);

  // The page picture in device pixels; its device pixel ratio says how large it is shown.
  void ShowPage(const QImage& page);
  const QImage& Page() const;

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TPreviewPage* Page_;
};

}  // namespace velmora::gui
