#include "app/laufwache.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace velkor {

namespace {

bool istEingabe(QEvent::Type t) {
  switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace

Laufwache::Laufwache(QWidget& fenster) : fenster_(fenster) { uhr_.start(); }

bool Laufwache::pruefen() {
  if (angehalten_ || uhr_.elapsed() < abstandMs) return angehalten_;
  gesehen_ = true;
  QCoreApplication* app = QCoreApplication::instance();
  app->installEventFilter(this);
  QCoreApplication::processEvents();
  app->removeEventFilter(this);
  uhr_.restart();
  return angehalten_;
}

bool Laufwache::eventFilter(QObject* objekt, QEvent* e) {
  if (!istEingabe(e->type())) return false;
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
    angehalten_ = true;
  } else if (e->type() == QEvent::Close && (objekt == &fenster_ || objekt == fenster_.windowHandle())) {
    // the window stays until the step in progress is done; then the program ends
    static_cast<QCloseEvent*>(e)->ignore();
    angehalten_ = true;
    schliessen_ = true;
  }
  return true;
}

}  // namespace velkor
