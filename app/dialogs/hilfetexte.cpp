#include "app/dialogs/hilfetexte.h"

namespace velkor {

namespace {

const Hilfeseite dateien{
    "Dateien",
    "TabSheet1",
    {{"Dateien öffnen",
      "Das Programm lässt sich auf zwei Arten steuern. Beim Start mit Kommandozeilenparametern (siehe "
      "\"Kommandozeilenparameter\") sind Netzdatei und Eingabedatei schon festgelegt: das Netz wird sofort "
      "geladen und die Eingabedatei geöffnet; die beiden Menüpunkte zum Öffnen sind dann gesperrt.\n"
      "Ohne Parameter wählt man die Dateien im Menü \"Dateien\": mit \"Netzdatei öffnen\" die Netzdatei "
      "(Dateityp NET oder NEC), mit \"Eingabedatei öffnen\" die Eingabedatei (Dateityp EIN). Sind beide gewählt, "
      "werden die Menüs \"Start\" und \"Ansicht\" freigegeben.\n"
      "Eine einmal gewählte Datei kann nicht gewechselt werden: dazu muss das Programm beendet und neu "
      "gestartet werden. Nur eine Datei, die sich nicht lesen ließ, kann danach neu gewählt werden."},
     {"Zustand speichern",
      "Schreibt alle Parameter des Netzes mit ihren augenblicklichen, also gelernten Werten (Gewichte, "
      "Lernfaktoren) in die Datei \"zustand.txt\" im Arbeitsverzeichnis. Die Datei hat die Form einer Netzdatei "
      "und kann später unverändert als Netzdatei geladen werden, um mit dem Gelernten weiterzuarbeiten. "
      "Potenziale, Refraktärphasen und laufende Impulse beginnen dann von vorn.\n"
      "Der Menüpunkt ist verfügbar, sobald ein Netz geladen ist. Eine vorhandene \"zustand.txt\" wird ohne "
      "Warnung überschrieben."},
     {"Bildschirm speichern",
      "Speichert das Bild der Simulation im Arbeitsverzeichnis. Beim Start ohne Parameter entsteht die "
      "Farb-Bitmap \"bild.bmp\". Beim Start mit Parametern entsteht \"bild.bmp\" nur mit dem Modusparameter "
      "\"c\", sonst die Schwarzweiß-Druckdatei \"bild.pcl\" für einen PCL-Drucker mit 300 dpi.\n"
      "Eine vorhandene Datei wird ohne Warnung überschrieben."}}};

const Hilfeseite ansicht{
    "Ansicht",
    "TabSheet2",
    {{"Allgemeines",
      "Die Punkte des Menüs \"Ansicht\" ändern nur die Darstellung, nicht die Simulation. Wird die Ansicht "
      "beim Start über einen Kommandozeilenparameter gewählt, ist das Menü gesperrt. Sonst ist es verfügbar, "
      "sobald beide Dateien gewählt sind, und wieder nach jedem \"Neustart\", jeweils bis zum ersten "
      "Tastendruck oder bis \"Einzelzyklen (mit Leertaste)\".\n"
      "Der Zeittakt steht unten links. Voreingestellt ist \"EPSPs, numerisch\".\n"
      "Die Zelldarstellung und die komprimierte Darstellung werden nach einem Verdecken durch einen Mausklick "
      "ins Fenster wiederhergestellt."},
     {"Zelldarstellung",
      "Jede Zelle ist ein Kreis mit ihrem Namen an der Position aus der Netzdatei; Zellen ohne Position werden "
      "nicht gezeichnet. Eine Verbindung ist eine Linie von der Quellzelle zur Zielzelle: die erste Hälfte "
      "durchgezogen, die zweite gepunktet, die Impulse laufen also vom durchgezogenen zum gepunkteten Teil. Der "
      "kleine Kreis in der Mitte zeigt das Gewicht als rote Füllung, voll bei einem Gewicht ab der Schwelle der "
      "Zielzelle; hemmende Verbindungen (negatives Gewicht) tragen statt dessen ein \"n\".\n"
      "Im Zellkreis steigt das EPSP als blauer Pegel von unten auf, eine feuernde Zelle ist rot gefüllt, während "
      "der Refraktärphase ist sie grün schraffiert.\n"
      "\"Verbindungsgew. variabel\": die Gewichtsmarken folgen in jedem Zeittakt den gelernten Gewichten. "
      "\"Verbindungsgew. konstant\": die Gewichtsmarken bleiben wie beim Start; das ist schneller."},
     {"Oszilloskopdarstellung",
      "Die Zeit läuft von oben nach unten, wie bei einem Oszilloskop mit vielen Kanälen. Jede Zelle hat eine "
      "senkrechte Linie (bis zu 34 Zellen, ab der unter \"Bereichsauswahl\" gewählten Nummer); jede Zeile ist "
      "ein Zeittakt, ein Aktionspotential ein roter waagerechter Strich. Die Namen stehen unter der jüngsten "
      "Zeile; am unteren Rand beginnt die Darstellung wieder oben.\n"
      "\"mit EPSPs\": zusätzlich das Potenzial als blauer Balken neben der Linie; ein Wert in Höhe der Schwelle "
      "ergibt 9 Bildpunkte. Bei einer ruhenden Zelle wird zum Potenzial 10 addiert, so dass der Balken erst unter "
      "-10 nach links zeigt; in der Refraktärphase gilt das Potenzial allein. "
      "\"ohne EPSPs\": nur die Linie und die Aktionspotentiale.\n"
      "Mit \"Zeitraffer\" fasst eine Zeile mehrere Zeittakte zusammen."},
     {"EPSPs, numerisch",
      "Eine Tabelle mit einer Zeile je Zeittakt: in der ersten Spalte der Zeittakt, dann für bis zu 34 Zellen "
      "(ab der Nummer aus \"Bereichsauswahl\") das Potenzial als ganze Zahl. Eine feuernde Zelle zeigt "
      "\"f*f*f\", eine refraktäre \"***\". Die Zellnamen stehen unter der jüngsten Zeile; am unteren Rand "
      "beginnt die Tabelle wieder oben. Dies ist die voreingestellte Ansicht."},
     {"feuernde Zellen",
      "Eine Tabelle mit einer Zeile für jedes Feuern einer Zelle: Zeittakt und Name der Zelle. Feuern mehrere "
      "Zellen im selben Takt, folgen die Zeilen in der Reihenfolge der Netzdatei. Zeittakte ohne feuernde Zelle "
      "schreiben nichts."},
     {"komprimiert",
      "Für große Netze: jede Zelle ist ein kleines Rechteck an ihrer Gitterposition, Verbindungen werden nicht "
      "gezeichnet. Beim Wählen wird der Vergrößerungsfaktor (Bildpunkte je Gittereinheit, typisch 4) "
      "abgefragt. Gelb: ruhende Zelle, mit bis zu zwei blauen Stufen für das EPSP; rot: feuernde Zelle; grün: "
      "refraktäre Zelle."}}};

const Hilfeseite start{
    "Start",
    "TabSheet3",
    {{"Allgemeines",
      "Mit Kommandozeilenparametern wird die Simulation beim Programmstart sofort vorbereitet: das Netz wird "
      "geladen und die Eingabedatei geöffnet. Ohne Parameter wird das Netz erst mit \"Simulation bis Stop\" "
      "oder \"Einzelzyklen (mit Leertaste)\" geladen, auch nach einem \"Neustart\".\n"
      "Lässt sich eine Datei nicht lesen, nennt eine Meldung Datei und Grund; danach kann über \"Dateien\" "
      "eine andere Datei gewählt werden.\n"
      "Fehler beim Laden, Verbindungen zu Zellen, die es nicht gibt, stehen in der Datei \"protok.txt\"; bei "
      "einem fehlerfreien Netz bleibt sie leer. Ein fehlerhaftes Netz wird nicht simuliert.\n"
      "Es empfiehlt sich, mit Einzelzyklen zu beginnen."},
     {"Simulation bis Stop",
      "Rechnet die Zeittakte ohne Pause bis zur nächsten Stoppmarke der Eingabedatei oder bis zu ihrem Ende. Der "
      "Lauf lässt sich mit der Taste Esc anhalten: der laufende Zeittakt wird zu Ende gerechnet, danach geht "
      "es mit Einzelzyklen weiter. Solange der Lauf geht, steht \"Lauf: Esc hält an\" in der grünen Leiste. "
      "Esc kürzt auch eine lange Zeitlupe ab. Das Schließen des Fensters beendet den Lauf ebenso und danach "
      "das Programm. Alle anderen Tasten und Menüs wirken während des Laufs nicht. Die Taste \"u\" wirkt wie "
      "dieser Menüpunkt.\n"
      "Nach dem Ende der Eingabedatei bewirkt der Menüpunkt nichts mehr; dann geht es nur noch mit der "
      "Leertaste weiter, ohne äußere Erregung."},
     {"Einzelzyklen (mit Leertaste)",
      "Lädt das Netz und bereitet den Start vor, falls das noch nicht geschehen ist. Danach rechnet jeder Druck "
      "auf die Leertaste einen Zeittakt. Die Taste \"q\" beendet das Programm."},
     {"Neustart",
      "Kehrt in den Anfangszustand zurück: das Bild wird gelöscht, Verlaufsprotokoll und Eingabedatei werden "
      "geschlossen, und die Menüs \"Ansicht\" und \"Extras\" sind wieder verfügbar.\n"
      "Mit Kommandozeilenparametern werden die Parameter neu gelesen, das Netz neu geladen und die Eingabedatei "
      "von vorn geöffnet; es kann sofort mit der Leertaste weitergehen. Ohne Parameter muss danach wieder "
      "\"Simulation bis Stop\" oder \"Einzelzyklen (mit Leertaste)\" gewählt werden."}}};

const Hilfeseite extras{
    "Extras",
    "TabSheet4",
    {{"Bereichsauswahl",
      "Laufende Nummer der ersten Zelle, die in der Oszilloskopdarstellung und in \"EPSPs, numerisch\" gezeigt "
      "wird; gezählt wird ab 1 in der Reihenfolge der Netzdatei. Gezeigt werden bis zu 34 Zellen ab dieser "
      "Nummer."},
     {"Bildverschiebung",
      "Verschiebt das Bild der Zelldarstellung und der komprimierten Darstellung in X- und Y-Richtung um ganze "
      "Gittereinheiten: in der Zelldarstellung 8 Bildpunkte waagerecht und 18 senkrecht, in der komprimierten "
      "Darstellung so viele Bildpunkte wie der Vergrößerungsfaktor. Die Verschiebung wirkt ab dem nächsten "
      "Laden des Netzes."},
     {"Verlaufsprotokoll starten",
      "Legt die Datei \"logfile.txt\" im Arbeitsverzeichnis neu an und schreibt fortlaufend mit, was die "
      "Ansichten \"EPSPs, numerisch\" und \"feuernde Zellen\" zeigen. Die Statusleiste zeigt \"Protokolldatei "
      "geöffnet\". Verfügbar, sobald ein Netz geladen ist."},
     {"Verlaufsprotokoll beenden",
      "Schließt \"logfile.txt\". Die Datei wird auch bei \"Neustart\" und beim Programmende geschlossen."},
     {"Zeitraffer",
      "Zahl der Zeittakte, die in der Oszilloskopdarstellung zwischen zwei Zeilen übergangen werden: mit dem "
      "Wert 2 zeigt eine Zeile drei Zeittakte. Kein Aktionspotential geht dabei verloren."},
     {"Zeitlupe",
      "Verzögerung je Zeittakt: mit größeren Werten (typisch 100) steht jeder Zeittakt länger auf dem Bildschirm."},
     {"P mit Änderung",
      "Wahrscheinlichkeit P in Prozent, Standard 100. Mit kleinerem P rückt ein laufender Impuls auf seiner "
      "Verbindung in jedem Zeittakt nur mit dieser Wahrscheinlichkeit weiter, so dass eine überschwellige "
      "Erregung zufällig verzögert ankommt. \"Mit Änderung\": nach jedem \"Neustart\" wird der "
      "Zufallsgenerator aus der Uhrzeit neu gesetzt, jede Simulation nimmt also einen anderen Verlauf."},
     {"P ohne Änderung",
      "Dieselbe Einstellung von P, jedoch ohne neuen Zufallsverlauf bei \"Neustart\": der Zufallsgenerator "
      "läuft einfach weiter. Nach dem Programmstart nimmt die erste Simulation so in jedem Programmlauf "
      "denselben Verlauf."},
     {"P aufheben",
      "Hebt beide Einstellungen auf: P ist wieder 100, und der Zufallsgenerator wird bei \"Neustart\" nicht "
      "neu gesetzt."}}};

const Hilfeseite kommandozeile{
    "Kommandozeilenparameter",
    "Kommandozeilenparameter",
    {{"Allgemeines",
      "Aufruf: velkor Titel Netzdatei Eingabedatei [Modusparameterliste]\n"
      "Die ersten drei Parameter sind Pflicht: der Titel (erscheint in der Titelleiste; ein Titel mit "
      "Leerzeichen wird in doppelte Anführungszeichen gesetzt), die Netzdatei und die Eingabedatei. Mit einem "
      "oder zwei Parametern wird das Programm mit einer Meldung beendet. Die Modusparameter folgen in "
      "beliebiger Reihenfolge; nur ihr erster Buchstabe zählt, Groß- und Kleinschreibung werden unterschieden."},
     {"Modusparameter",
      "c  Bildschirm speichern als Farb-Bitmap \"bild.bmp\" statt \"bild.pcl\"\n"
      "d  Zahl: erste gezeigte Zelle (wie \"Bereichsauswahl\")\n"
      "g  Oszilloskopdarstellung ohne EPSPs (wie \"ohne EPSPs\")\n"
      "G  Oszilloskopdarstellung mit EPSPs (wie \"mit EPSPs\")\n"
      "k  feuernde Zellen (wie \"feuernde Zellen\")\n"
      "m  Zahl: komprimierte Darstellung mit diesem Vergrößerungsfaktor (wie \"komprimiert\")\n"
      "p  Zahl: P ohne neuen Zufallsverlauf (wie \"P ohne Änderung\")\n"
      "P  Zahl: P mit neuem Zufallsverlauf bei jedem Start (wie \"P mit Änderung\")\n"
      "R  Zahl: Zeitraffer (wie \"Zeitraffer\"; nur zusammen mit g oder G)\n"
      "v  Zelldarstellung, Gewichte konstant (wie \"Verbindungsgew. konstant\")\n"
      "V  Zelldarstellung, Gewichte variabel (wie \"Verbindungsgew. variabel\")\n"
      "x  Zahl: Bildverschiebung in X-Richtung (wie \"Bildverschiebung\")\n"
      "y  Zahl: Bildverschiebung in Y-Richtung (wie \"Bildverschiebung\")\n"
      "Z  Zahl: Zeitlupe (wie \"Zeitlupe\")\n"
      "Eine Ansicht aus der Kommandozeile sperrt das Menü \"Ansicht\". Eine Zahl, die sich nicht lesen lässt, "
      "ergibt den Standardwert."},
     {"Beispiele",
      "velkor.exe \"Lernen A\" n.net d.ein P 98 d 20 c Z 10 G\n"
      "velkor Lernen_B netz.net daten.ein p 97 c V x 10 y 5",
      true}}};

const Hilfeseite werkzeuge{
    "Werkzeuge",
    "TabSheet5",
    {{"Labor",
      "\"Werkzeuge\" / \"Labor\" (oder die Taste F9) öffnet ein Werkzeugfenster neben dem Simulationsfenster. Es "
      "bleibt beim "
      "Simulationsfenster; dessen Bild behält seine Größe. Solange kein Werkzeug benutzt wird, ändert sich "
      "an der Simulation und ihrem Bild nichts."},
     {"Schritt zurück",
      "Die Rücktaste im Simulationsfenster oder \"Schritt zurück\" im Labor geht einen Zeittakt zurück, auch "
      "ohne geöffnetes Labor. Zustand, Bild und Verlaufsprotokoll sind danach genau die dieses Zeittakts: "
      "\"logfile.txt\" wird auf diesen Zeittakt gekürzt und beim Weiterrechnen fortgeschrieben. Wie jede Taste "
      "sperrt die Rücktaste das Menü \"Ansicht\" und die Einstellungen unter \"Extras\"."},
     {"Zeitleiste",
      "Die Leiste zeigt den aufgezeichneten Verlauf: blaue Striche sind Stoppmarken, rote Striche "
      "Haltepunkte, an denen ein Lauf angehalten hat. Ein Klick oder Ziehen auf der Leiste geht zu diesem "
      "Zeittakt. \"Schritt vor\" rechnet den nächsten Zeittakt des Verlaufs noch einmal; am Ende des Verlaufs "
      "ist es ein neuer Zeittakt wie mit der Leertaste. \"zurück zur letzten Stoppmarke\" geht zu der Stelle, "
      "an der zuletzt ein Lauf angehalten hat. Wer nach dem Zurückgehen neu rechnet oder eingreift, verwirft "
      "den späteren Verlauf."},
     {"Haltepunkte",
      "Unter \"Haltepunkte\" wird eine Zelle mit ihrem Namen angegeben. \"Anhalten, wenn diese Zelle feuert\" "
      "hält \"Simulation bis Stop\" und die Taste \"u\" nach dem Zeittakt an, in dem die Zelle feuert, wie an "
      "einer Stoppmarke. \"Anhalten beim Potenzial\" hält an, wenn das Potenzial der Zelle den angegebenen "
      "Wert in einem Zeittakt überschreitet oder unterschreitet. Die Statusleiste und das Labor nennen den "
      "Haltepunkt, der angehalten hat."},
     {"Eingriffe",
      "Umschalt+Klick auf eine Zelle der Zelldarstellung oder der komprimierten Darstellung erregt sie im "
      "nächsten Zeittakt, genau wie ein Eintrag der Eingabedatei für diesen Zeittakt. Bis dahin steht sie als "
      "vorgemerkt in der Statusleiste und im Labor. \"Eingriffe speichern\" schreibt eine Eingabedatei, die "
      "die Eingabedatei mit allen Eingriffen zusammenführt; ein Lauf mit dieser Datei kommt genau zum selben "
      "Ergebnis. Ein Rechtsklick auf eine Zelle wählt sie im Labor zum Untersuchen."}}};

}  // namespace

const std::vector<Hilfeseite>& hilfeseiten() {
  static const std::vector<Hilfeseite> seiten{dateien, ansicht, start, extras, kommandozeile, werkzeuge};
  return seiten;
}

const std::vector<const char*>& aenderungen() {
  static const std::vector<const char*> zeilen{
      "Änderungen gegenüber Version 2.1:",
      "",
      "- Fehler bei der Zustandsausgabe und der Oszilloskopausgabe beseitigt",
      "- Hilfe-Text ergänzt",
      "",
      "Änderungen gegenüber Version 2.2:",
      "",
      "- Fehler bei der Behandlung von Lernvorgängen an ODER-Zellen beseitigt"};
  return zeilen;
}

}  // namespace velkor
