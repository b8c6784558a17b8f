#include "live/insert_action_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_layout.h"
#include "widgets/scaling.h"

namespace velmora::gui {

TInsertActionForm::TInsertActionForm(const std::vector<const TAction*>& kinds, const QString& play, QWidget* parent)
    : QDialog(parent), KindList_(new QListWidget(this)), JoinPlay_(new QCheckBox(this)) {
  setObjectName(QStringLiteral("InsertActionForm"));
  setWindowTitle(tr("Insertar acción"));
  KindList_->setObjectName(QStringLiteral("KindList"));
  for (const TAction* kind : kinds) {
    Kinds_.push_back(kind->ShortName);
    KindList_->addItem(QString::fromStdString(kind->Name));
  }
  if (KindList_->count() > 0) KindList_->setCurrentRow(0);
  JoinPlay_->setObjectName(QStringLiteral("JoinPlayCheckBox"));
  JoinPlay_->setText(tr("Forma parte de la jugada de: %1").arg(play));
  JoinPlay_->setVisible(!play.isEmpty());

  auto* ok = NamedButton(tr("&Aceptar"), QStringLiteral("OKButton"), this);
  ok->setDefault(true);
  auto* cancel = NamedButton(tr("&Cancelar"), QStringLiteral("CancelButton"), this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(KindList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Tipo de la acción olvidada:"), this));
  layout->addWidget(KindList_, 1);
  layout->addWidget(JoinPlay_);
  layout->addLayout(ButtonRow({ok, cancel}));
  resize(Scaled(380), Scaled(360));
}

std::string TInsertActionForm::Kind() const {
  const int row = KindList_->currentRow();
  return row >= 0 && row < static_cast<int>(Kinds_.size()) ? Kinds_[static_cast<std::size_t>(row)] : std::string();
}

bool TInsertActionForm::JoinsPlay() const { return !JoinPlay_->isHidden() && JoinPlay_->isChecked(); }

}  // namespace velmora::gui
