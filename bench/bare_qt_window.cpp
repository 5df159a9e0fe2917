// Qt's floor for the start-up benchmark: a window with the program's four
// widgets, made from the same layout table, and nothing else (no digest, no
// icon, no font fitting, no clipboard standby). What the program takes
// beyond this is its own.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "form_layout.h"
#include "qt_twips.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QString::fromUtf16(ui::kCaption));
  window.resize(qt::ClientSize());
  for (const ui::ControlFacts& control : ui::kControls) {
    const QString text = QString::fromUtf16(control.text);
    QWidget* widget = control.kind == ui::ControlKind::kTextBox
                          ? static_cast<QWidget*>(new QLineEdit(text, &window))
                          : new QPushButton(text, &window);
    widget->setGeometry(qt::ToPixels(control.place));
  }
  window.show();
  return QApplication::exec();
}
