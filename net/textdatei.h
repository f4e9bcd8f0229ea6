#pragma once
// Text files as the program reads them: the whole file is read into memory
// once and then walked line by line.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace velkor {

// Of each line only this many characters are read.
inline constexpr std::size_t zeilenlaenge = 250;

// The whole text of a file, in memory that is not filled before it is read
// into (a net file of a large net has hundreds of megabytes).
class Textpuffer {
 public:
  std::string_view text() const { return {daten_.get(), groesse_}; }
  void leeren() {
    daten_.reset();
    groesse_ = 0;
    kapazitaet_ = 0;
  }

 private:
  friend bool dateiLesen(const std::string& pfad, Textpuffer& inhalt, std::string& fehler);
  std::unique_ptr<char[]> daten_;
  std::size_t groesse_ = 0;
  std::size_t kapazitaet_ = 0;
};

// Reads the whole file into `inhalt`. On failure returns false and sets
// `fehler` to the file name and the reason.
bool dateiLesen(const std::string& pfad, Textpuffer& inhalt, std::string& fehler);

// Walks the lines of a text. A line ends at "\n" or at the end of the text (a
// last line without line end counts); a CR before the "\n" is dropped, so CR LF
// files read like LF files; of a longer line only the first 250 characters are
// kept and the rest is ignored.
class Zeilenleser {
 public:
  explicit Zeilenleser(std::string_view text) : rest(text) {}

  // The next line, empty ones included; false at the end of the text.
  bool naechste(std::string_view& zeile);
  // The next line that is not empty.
  bool naechsteNichtleere(std::string_view& zeile);
  // The text after the lines read so far.
  std::string_view uebrig() const { return rest; }

 private:
  std::string_view rest;
};

}  // namespace velkor
