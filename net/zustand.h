#pragma once
// The state snapshot "zustand.txt": the net in name form with its learned values.

#include <cstdint>
#include <functional>
#include <string>

#include "net/modell.h"

namespace velkor {

inline constexpr const char* zustandsdateiname = "zustand.txt";

// The whole text of the snapshot.
std::string zustandstext(const Netz& netz, int32_t zeittakt, int32_t xVerschiebung, int32_t yVerschiebung);

// Writes the snapshot to `pfad` through a temporary file that is renamed into
// place, so a failed write never leaves a partial file under that name.
// Returns false and fills `fehler` (naming the file and the reason) on failure.
bool zustandschreiben(const Netz& netz, int32_t zeittakt, int32_t xVerschiebung, int32_t yVerschiebung,
                      std::string& fehler, const std::string& pfad = zustandsdateiname);

// The same, the text supplied in pieces: `naechstes` fills its argument with
// the next piece and returns false after the last. Every piece is taken,
// also after a failure.
bool zustandStueckweiseSchreiben(const std::function<bool(std::string&)>& naechstes, std::string& fehler,
                                 const std::string& pfad = zustandsdateiname);

// The parts of the text, for a net whose blocks are written by several
// processes. The name form needs every target to lead to the first cell of
// its name (else the numbered form is written); the header; the blocks of
// the cells [von, bis); the end.
bool zustandInNamensform(const Netz& netz);
void zustandskopf(std::string& text, int32_t zellenzahl, int32_t zeittakt, bool nummern);
void zustandsbloecke(std::string& text, const Netz& netz, int32_t von, int32_t bis, int32_t xVerschiebung,
                     int32_t yVerschiebung, bool nummern);
void zustandsende(std::string& text);

}  // namespace velkor
