#pragma once
// The six parameter dialogs TForm2..TForm6 and TForm8: one modal window with
// labels, one or two edit fields and an "OK" button. There is no cancel:
// closing through the frame has the same effect as "OK".

#include <QDialog>
#include <QString>
#include <QStringList>

#include "app/dialogs/umrechnen.h"

class QLineEdit;
class QPushButton;

namespace velkor {

struct Dialogbeschreibung {
  QString name;      // component name, e.g. "TForm3"
  QString titel;     // caption
  int breite = 300;  // outer size
  int hoehe = 150;
  QStringList texte;        // labels above the field, top to bottom
  bool zweiFelder = false;  // TForm6: "X-Verschiebung um" / "Y-Verschiebung um" rows
  QString starttext;        // field text at program start
  Umrechnungsregel regel;
};

inline constexpr int dialogLinks = 192;
inline constexpr int dialogOben = 114;

class Parameterdialog : public QDialog {
  Q_OBJECT
 public:
  explicit Parameterdialog(const Dialogbeschreibung& b, QWidget* parent = nullptr);

  // The conversion of the text the field shows now (umrechnen, umrechnen1).
  int32_t wert() const;
  // TForm6: the conversion of Edit2 (umrechnen2).
  int32_t wert2() const;
  QLineEdit* edit1() const { return edit1_; }
  QLineEdit* edit2() const { return edit2_; }
  QPushButton* button1() const { return button1_; }
  const Dialogbeschreibung& beschreibung() const { return b_; }
  // Removes the maximise button from the frame (the other buttons stay).
  void ohneMaximieren();

 public slots:
  void schliessen();

 protected:
  void showEvent(QShowEvent* e) override;
  void moveEvent(QMoveEvent* e) override;

 private:
  void aufbauen();
  void aussenmassSetzen();
  Dialogbeschreibung b_;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QPushButton* button1_ = nullptr;
};

// The six dialogs with their captions, sizes, texts and conversion rules.
Dialogbeschreibung tform2Beschreibung();  // "komprimiert": vergroesserung
Dialogbeschreibung tform3Beschreibung();  // "Zeitlupe": zeitlupe
Dialogbeschreibung tform4Beschreibung();  // "Zeitraffer": zeitraffer
Dialogbeschreibung tform5Beschreibung();  // "Bereichsauswahl": displayStart
Dialogbeschreibung tform6Beschreibung();  // "Bildverschiebung": xVerschiebung, yVerschiebung
Dialogbeschreibung tform8Beschreibung();  // "P mit/ohne Änderung": pWert

}  // namespace velkor
