#pragma once
// The six parameter dialogs and the help window, created hidden at program
// start in the order TForm2..TForm8.

#include <memory>

#include "app/dialogs/hilfe.h"
#include "app/dialogs/parameterdialog.h"

namespace velkor {

struct Dialoge {
  explicit Dialoge(QWidget* eltern)
      : tform2(std::make_unique<Parameterdialog>(tform2Beschreibung(), eltern)),
        tform3(std::make_unique<Parameterdialog>(tform3Beschreibung(), eltern)),
        tform4(std::make_unique<Parameterdialog>(tform4Beschreibung(), eltern)),
        tform5(std::make_unique<Parameterdialog>(tform5Beschreibung(), eltern)),
        tform6(std::make_unique<Parameterdialog>(tform6Beschreibung(), eltern)),
        tform7(std::make_unique<Hilfefenster>(eltern)),
        tform8(std::make_unique<Parameterdialog>(tform8Beschreibung(), eltern)) {}

  std::unique_ptr<Parameterdialog> tform2;  // Vergrößerungsfaktor
  std::unique_ptr<Parameterdialog> tform3;  // Zeitlupe
  std::unique_ptr<Parameterdialog> tform4;  // Zeitraffer
  std::unique_ptr<Parameterdialog> tform5;  // Displaystart
  std::unique_ptr<Parameterdialog> tform6;  // Bildverschiebung
  std::unique_ptr<Hilfefenster> tform7;     // Hilfe
  std::unique_ptr<Parameterdialog> tform8;  // P
};

}  // namespace velkor
