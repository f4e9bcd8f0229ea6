#pragma once
// Pictures of a run: a drawing canvas and the PNG file. They need Qt
// (fonts and image files); without the Qt build they are not available.

#include <memory>
#include <string>

#include "display/canvas.h"

namespace velkor {

// Whether this build can draw pictures at all.
bool bilderVerfuegbar();

// Sets up what drawing text needs (a QGuiApplication, offscreen unless a
// platform is chosen) for as long as the returned object lives.
std::shared_ptr<void> bildumgebungErzeugen();

// A white canvas of the client area that the views draw on.
std::unique_ptr<Canvas> bildCanvasErzeugen(int breite, int hoehe);

// Writes a canvas made by bildCanvasErzeugen as a PNG file. False with
// `fehler` naming the file and the reason.
bool pngSpeichern(const Canvas& canvas, const std::string& datei, std::string& fehler);

}  // namespace velkor
